#pragma once
// The tag search run ahead of the walk through a long run of bytes that hold
// no block (a zeroed or overwritten stretch, a disk image that is not a
// backup). The bytes ahead are cut into segments; the walk's own thread and
// one helper thread each take a segment, read it and search it on their own,
// so no bytes pass between processors, only the tags found. The walk asks
// what is known from its position on and goes on exactly as if it had
// searched the bytes itself.

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include "bkf_file.h"

struct LookAheadSettings {
  bool enabled = true;
  size_t segmentBytes = 2u << 20;
  // Bytes without a tag the walk searches itself before the search ahead starts.
  uint64_t engageAfter = 4u << 20;
};
// Sets how the search ahead works (tests use small segments); returns the
// settings before. Call only while no scan runs.
LookAheadSettings UseLookAhead(const LookAheadSettings& settings);

// Segments searched ahead by all scans so far (for measurements).
uint64_t LookAheadSegmentsSearched();

class LookAheadSearch {
 public:
  // `length` is the file length the walk reads with: bytes at and after it
  // read as zeros. Bytes fetched are added to `fetched` when the object goes.
  LookAheadSearch(const BkfFile& file, uint64_t length, uint32_t tagMask, uint64_t& fetched);
  ~LookAheadSearch();
  LookAheadSearch(const LookAheadSearch&) = delete;
  LookAheadSearch& operator=(const LookAheadSearch&) = delete;

  // True when the settings allow it and the machine has a second processor.
  static bool Available();

  // Starts searching at `from`; no tag at or after `limit` is ever asked for.
  void Start(uint64_t from, uint64_t limit);
  // Drops everything searched ahead (after a jump out of it).
  void Stop();
  bool Engaged() const { return m_engaged; }
  // Bytes without a tag the walk searches itself before it starts this.
  uint64_t EngageAfter() const { return m_engageAfter; }

  // What is known from pos on: no selected tag starts in [pos, clearTo); with
  // tag >= 0, that tag starts at clearTo. clearTo is UINT64_MAX when no tag
  // can start anywhere after pos.
  struct Known {
    uint64_t clearTo = 0;
    int tag = -1;
  };
  // Answers once a tag is found or clearTo reaches pos + minClear; false when
  // that cannot be known from what was searched (pos outside it, a read
  // error, a segment with too many tags).
  bool Ask(uint64_t pos, uint64_t minClear, Known& out);

 private:
  enum class State { Waiting, Working, Done, Failed };
  struct Segment {
    uint64_t start = 0;
    uint64_t end = 0;  // tags starting in [start, end) are looked for
    State state = State::Waiting;
    std::vector<std::pair<uint64_t, int>> tags;  // every tag starting before knownTo, in order
    uint64_t knownTo = 0;
  };
  struct Result {
    bool ok = false;
    std::vector<std::pair<uint64_t, int>> tags;
    uint64_t knownTo = 0;
    uint64_t fetched = 0;
  };
  // Reads and searches [start, end); no lock held.
  Result Search(uint64_t start, uint64_t end, std::vector<uint8_t>& buffer) const;
  // Searches the segment at `index`, claimed by the caller, with the lock
  // released meanwhile, and stores what it found.
  void SearchClaimed(std::unique_lock<std::mutex>& lock, size_t index, std::vector<uint8_t>& buffer);
  void Store(uint64_t generation, uint64_t start, Result&& result);
  void TopUp();
  void Append();
  // Takes the first waiting segment at or after index `from`; -1 when none.
  long Claim(size_t from);
  void Helper();

  const BkfFile& m_file;
  const uint64_t m_length;
  const uint32_t m_tagMask;
  const size_t m_segmentBytes;
  const uint64_t m_engageAfter;
  uint64_t& m_fetchedSink;

  std::mutex m_mutex;
  std::condition_variable m_changed;
  std::deque<Segment> m_segments;
  uint64_t m_nextStart = 0;
  uint64_t m_limit = 0;
  uint64_t m_generation = 0;
  uint64_t m_fetched = 0;
  bool m_quit = false;
  bool m_engaged = false;
  std::vector<uint8_t> m_buffer;  // the walk thread's
  std::thread m_helper;
};
