// The search ahead through runs of bytes without a block changes nothing a
// scan gives: the same tree, records and damage notes, and the same
// messages to the window in the same order, in both modes, over ranges,
// with a stop request, whatever the segment size and wherever the segments
// fall against tags and blocks.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <sstream>

#include "look_ahead_search.h"
#include "scan_options.h"
#include "test_support.h"

using namespace testing_support;
using fixture::BkfWriter;
using fixture::Bytes;

namespace {
const char* const kTags[] = {"TAPE", "SSET", "VOLB", "DIRB", "FILE", "CFIL", "SFMB", "ESET", "EOTM", "ESPB"};

// Random bytes with tag letters strewn over them (blocks that do not check),
// and a patch with more tags than a segment lists.
Bytes NoiseWithTags(std::mt19937& random, size_t size, int tags, bool densePatch) {
  Bytes b(size);
  for (auto& x : b) x = static_cast<uint8_t>(random());
  for (int i = 0; i < tags; ++i) {
    const size_t at = random() % (size - 4);
    std::memcpy(b.data() + at, kTags[random() % 10], 4);
  }
  if (densePatch) {
    const size_t at = size / 2;
    for (size_t k = 0; k < 400 && at + k + 4 <= size; k += 4) std::memcpy(b.data() + at + k, kTags[k % 10], 4);
  }
  return b;
}

Bytes Backup(const std::u16string& folder, int files) {
  BkfWriter w;
  w.Tape(u"T");
  w.Sset(1, u"S");
  w.Volb(u"C:");
  w.Dirb(folder);
  for (int i = 0; i < files; ++i) {
    std::string content(700 + 977 * size_t(i), char('a' + i % 26));
    w.File(u"f" + std::u16string(1, char16_t(u'a' + i)) + u".txt", content);
  }
  w.Marker("ESET");
  return w.Data();
}

// Noise, a backup at an odd offset, more noise, a second backup, a tail of
// noise whose length is no multiple of anything.
Bytes MixedFile() {
  std::mt19937 random(20261210);
  Bytes all;
  auto add = [&](const Bytes& b) { all.insert(all.end(), b.begin(), b.end()); };
  add(NoiseWithTags(random, 600 * 1024 + 17, 60, true));
  add(Backup(u"First", 12));
  add(NoiseWithTags(random, 400 * 1024 + 333, 40, false));
  add(Backup(u"Second", 7));
  add(NoiseWithTags(random, 177777, 10, true));
  return all;
}

std::string Describe(const bkf& s, const RecordingNotify& notify) {
  std::ostringstream out;
  for (int64_t i = 0; i < s.m_tree.Count(); ++i) {
    const TreeNode& n = s.m_tree.Node(i);
    out << "node " << ToUtf8(s.m_tree.Name(i)) << ' ' << n.parent << ' ' << n.firstFile << ' ' << n.lastFile << '\n';
  }
  for (int64_t i = 0; i < s.m_files.Count(); ++i) {
    const FoundFileRecord& r = s.m_files.Record(i);
    out << "file " << ToUtf8(s.m_files.Name(i)) << ' ' << r.parent << ' ' << r.dataPosition << ' ' << r.dataLength
        << '\n';
  }
  for (const auto& note : s.DamageNotes()) out << "note " << ToUtf8(note) << '\n';
  for (const auto& m : notify.messages) {
    out << "message " << m.id << ' ' << m.lParam;
    if (m.id == UM_SCAN_PROGRESS)
      out << ' ' << m.progress.position << ' ' << m.progress.percent << ' ' << m.progress.filesFound << ' '
          << m.progress.fileLength;
    else
      out << ' ' << m.wParam;
    out << '\n';
  }
  return out.str();
}

struct Case {
  ScanMode mode;
  uint64_t rangeStart, rangeEnd;
  uint64_t stopAt;  // a stop request once a progress message reaches this position (0: none)
};

std::string ScanWith(const std::filesystem::path& path, const Case& c, const LookAheadSettings& settings,
                     uint64_t* segmentsSearched = nullptr) {
  const LookAheadSettings before = UseLookAhead(settings);
  const uint64_t segmentsBefore = LookAheadSegmentsSearched();
  RecordingNotify notify;
  if (c.stopAt)
    notify.onProgress = [&](const ScanProgress& p) {
      if (p.position >= c.stopAt) AppState().m_bProcessRunning.store(0);
    };
  ScanOptions options;
  options.mode = c.mode;
  options.rangeStart = c.rangeStart;
  options.rangeEnd = c.rangeEnd;
  auto scanner = MakeScanner(options);
  scanner->m_hNotifyWnd = &notify;
  AppState().m_bProcessRunning.store(1);
  EXPECT_EQ(scanner->Scan(path), 1);
  AppState().m_bProcessRunning.store(0);
  UseLookAhead(before);
  if (segmentsSearched) *segmentsSearched = LookAheadSegmentsSearched() - segmentsBefore;
  return Describe(*scanner, notify);
}
}  // namespace

TEST(LookAhead, ScansGiveWhatTheWindowByWindowSearchGives) {
  if (!LookAheadSearch::Available()) GTEST_SKIP() << "one processor: the search ahead is never used";
  TempDir dir;
  const auto path = dir / "mixed.bkf";
  const Bytes bytes = MixedFile();
  fixture::WriteFile(path, bytes);
  const uint64_t size = bytes.size();

  const Case cases[] = {
      {ScanMode::Standard, 0, 0, 0},
      {ScanMode::Advanced, 0, 0, 0},
      {ScanMode::Standard, 12345, size - 54321, 0},
      {ScanMode::Advanced, 4097, size - 3000, 0},
      {ScanMode::Standard, 0, 0, 450 * 1024},
      {ScanMode::Advanced, 0, 0, 900 * 1024},
  };
  // Segments smaller than a window, odd sizes, one that holds the whole file.
  const LookAheadSettings aheads[] = {
      {true, 1000, 2048}, {true, 4096, 4096}, {true, 5003, 12000}, {true, 65536, 1024}, {true, 1u << 20, 8192}};
  for (const Case& c : cases) {
    const std::string expected = ScanWith(path, c, {false, 1u << 20, 0});
    if (c.rangeStart == 0 && c.stopAt == 0) {
      EXPECT_NE(expected.find("node First"), std::string::npos);
      EXPECT_NE(expected.find("node Second"), std::string::npos);
    }
    for (const LookAheadSettings& a : aheads) {
      SCOPED_TRACE(testing::Message() << (c.mode == ScanMode::Standard ? "Standard" : "Advanced") << " range "
                                      << c.rangeStart << "-" << c.rangeEnd << " stop " << c.stopAt
                                      << " segment " << a.segmentBytes << " after " << a.engageAfter);
      uint64_t segments = 0;
      EXPECT_EQ(ScanWith(path, c, a, &segments), expected);
      EXPECT_GT(segments, 0u);  // the search ahead was used
    }
  }
}
