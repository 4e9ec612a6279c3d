#include "look_ahead_search.h"

#include <sched.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <system_error>

#include "tag_search.h"

namespace {
LookAheadSettings g_settings;
std::atomic<uint64_t> g_segmentsSearched{0};

// Segments kept ahead of the walk: enough for both threads to be busy.
constexpr size_t kSegmentsAhead = 4;
// Bytes read at a time, as the scanners' reader reads them.
constexpr size_t kChunk = WindowReader::kMaxChunk;
// A segment listing more tags than this is not bytes without blocks; what
// lies after the last tag listed is left to the walk.
constexpr size_t kMaxTags = 64;
}  // namespace

LookAheadSettings UseLookAhead(const LookAheadSettings& settings) {
  const LookAheadSettings before = g_settings;
  g_settings = settings;
  g_settings.segmentBytes = std::max<size_t>(1, settings.segmentBytes);
  return before;
}

uint64_t LookAheadSegmentsSearched() { return g_segmentsSearched.load(std::memory_order_relaxed); }

bool LookAheadSearch::Available() {
  if (!g_settings.enabled) return false;
  cpu_set_t cpus;
  CPU_ZERO(&cpus);
  if (sched_getaffinity(0, sizeof cpus, &cpus) != 0) return false;
  return CPU_COUNT(&cpus) >= 2;
}

LookAheadSearch::LookAheadSearch(const BkfFile& file, uint64_t length, uint32_t tagMask, uint64_t& fetched)
    : m_file(file),
      m_length(length),
      m_tagMask(tagMask),
      m_segmentBytes(g_settings.segmentBytes),
      m_engageAfter(g_settings.engageAfter),
      m_fetchedSink(fetched) {}

LookAheadSearch::~LookAheadSearch() {
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_quit = true;
  }
  m_changed.notify_all();
  if (m_helper.joinable()) m_helper.join();
  m_fetchedSink += m_fetched;
}

void LookAheadSearch::Start(uint64_t from, uint64_t limit) {
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    ++m_generation;
    m_segments.clear();
    m_nextStart = from;
    m_limit = limit;
    m_engaged = true;
    TopUp();
  }
  if (!m_helper.joinable()) {
    try {
      m_helper = std::thread([this] { Helper(); });
    } catch (const std::system_error&) {
      // No thread to be had: the walk's thread searches every segment.
    }
  }
  m_changed.notify_all();
}

void LookAheadSearch::Stop() {
  std::lock_guard<std::mutex> lock(m_mutex);
  ++m_generation;
  m_segments.clear();
  m_engaged = false;
}

void LookAheadSearch::Append() {
  Segment s;
  s.start = m_nextStart;
  s.end = m_limit - m_nextStart > m_segmentBytes ? m_nextStart + m_segmentBytes : m_limit;
  m_nextStart = s.end;
  m_segments.push_back(std::move(s));
}

void LookAheadSearch::TopUp() {
  while (m_segments.size() < kSegmentsAhead && m_nextStart < m_limit) Append();
}

long LookAheadSearch::Claim(size_t from) {
  for (size_t i = from; i < m_segments.size(); ++i) {
    if (m_segments[i].state == State::Waiting) {
      m_segments[i].state = State::Working;
      return static_cast<long>(i);
    }
  }
  return -1;
}

LookAheadSearch::Result LookAheadSearch::Search(uint64_t start, uint64_t end, std::vector<uint8_t>& buffer) const {
  g_segmentsSearched.fetch_add(1, std::memory_order_relaxed);
  Result r;
  r.knownTo = end;
  buffer.resize(kChunk + kTagReadTail);
  try {
    for (uint64_t c = start; c < end;) {
      const size_t n = end - c > kChunk ? kChunk : static_cast<size_t>(end - c);
      // The chunk and the three bytes after it, zeros at and after the length.
      size_t got = 0;
      if (c < m_length) {
        const size_t want = m_length - c > n + kTagReadTail ? n + kTagReadTail : static_cast<size_t>(m_length - c);
        got = m_file.ReadAt(c, buffer.data(), want);
        r.fetched += got;
      }
      std::memset(buffer.data() + got, 0, n + kTagReadTail - got);
      for (size_t off = 0; off < n;) {
        int tag = -1;
        const long k = FindFirstBlockTag(buffer.data() + off, n - off, m_tagMask, tag);
        if (k < 0) break;
        const uint64_t at = c + off + static_cast<uint64_t>(k);
        if (r.tags.size() == kMaxTags) {
          r.knownTo = at;
          r.ok = true;
          return r;
        }
        r.tags.emplace_back(at, tag);
        off += static_cast<size_t>(k) + 1;
      }
      c += n;
    }
    r.ok = true;
  } catch (...) {
    // A read error (or no memory): the walk reads these bytes itself and
    // meets the error there.
    r.ok = false;
  }
  return r;
}

void LookAheadSearch::Store(uint64_t generation, uint64_t start, Result&& result) {
  m_fetched += result.fetched;
  if (generation != m_generation) return;
  for (Segment& s : m_segments) {
    if (s.start != start || s.state != State::Working) continue;
    s.state = result.ok ? State::Done : State::Failed;
    s.tags = std::move(result.tags);
    s.knownTo = result.knownTo;
    break;
  }
  m_changed.notify_all();
}

void LookAheadSearch::SearchClaimed(std::unique_lock<std::mutex>& lock, size_t index, std::vector<uint8_t>& buffer) {
  const uint64_t generation = m_generation, start = m_segments[index].start, end = m_segments[index].end;
  lock.unlock();
  Result r = Search(start, end, buffer);
  lock.lock();
  Store(generation, start, std::move(r));
}

void LookAheadSearch::Helper() {
  std::vector<uint8_t> buffer;
  std::unique_lock<std::mutex> lock(m_mutex);
  for (;;) {
    long i = -1;
    while (!m_quit && (i = Claim(0)) < 0) m_changed.wait(lock);
    if (m_quit) return;
    SearchClaimed(lock, size_t(i), buffer);
  }
}

bool LookAheadSearch::Ask(uint64_t pos, uint64_t minClear, Known& out) {
  if (!m_engaged) return false;
  std::unique_lock<std::mutex> lock(m_mutex);
  while (!m_segments.empty() && m_segments.front().end <= pos) m_segments.pop_front();
  TopUp();
  m_changed.notify_all();
  if (m_segments.empty() || m_segments.front().start > pos) return false;
  const uint64_t want = pos + std::min(minClear, UINT64_MAX - pos);
  for (size_t i = 0;; ++i) {
    if (i == m_segments.size()) {
      if (m_nextStart >= m_limit) {
        // Nothing is asked for at or after the limit; at the file's end no
        // tag can start.
        out = {m_limit >= m_length ? UINT64_MAX : m_limit, -1};
        return out.clearTo >= want;
      }
      Append();
      m_changed.notify_all();
    }
    // Wait for the segment, searching later ones meanwhile.
    while (m_segments[i].state == State::Waiting || m_segments[i].state == State::Working) {
      const long j = Claim(i);
      if (j < 0)
        m_changed.wait(lock);
      else
        SearchClaimed(lock, size_t(j), m_buffer);
    }
    const Segment& s = m_segments[i];
    if (s.state == State::Failed) return false;
    for (const auto& [at, tag] : s.tags) {
      if (at >= pos) {
        out = {at, tag};
        return true;
      }
    }
    if (s.knownTo < s.end) return false;
    if (s.end >= want) {
      out = {s.end, -1};
      return true;
    }
  }
}
