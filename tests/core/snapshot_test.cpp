// Recovery snapshots: the exact bytes, round trips, and damaged files refused.
#include <gtest/gtest.h>

#include <cstring>

#include "scanner_advance.h"
#include "snapshot.h"
#include "test_support.h"
#include "text.h"

using namespace testing_support;
using fixture::Bytes;

namespace {
struct Loaded {
  int result = 0;
  std::u16string bkfPath;
  std::unique_ptr<bkf> scanner;
  RecordingNotify notify;
};

std::unique_ptr<Loaded> Load(const std::filesystem::path& snapshot) {
  auto l = std::make_unique<Loaded>();
  l->scanner = std::make_unique<bkf>();  // a previous result, replaced or dropped
  AppState().m_bProcessRunning.store(1);
  l->result = LoadSnapshot(snapshot, l->bkfPath, l->scanner, &l->notify);
  AppState().m_bProcessRunning.store(0);
  return l;
}

Bytes Save(const bkf& s, const std::filesystem::path& to) {
  AppState().m_bProcessRunning.store(1);
  EXPECT_EQ(SaveSnapshot(s, to), 1);
  AppState().m_bProcessRunning.store(0);
  return ReadAll(to);
}

// Byte offsets in a snapshot of the demo backup's tree.
size_t NodeEntryOffset(const Bytes& snap, int64_t node) {
  size_t at = 4 + LoadU32(snap.data());
  for (int64_t i = 0; i < node; ++i) at += 9 + 54 + LoadU32(&snap[at + 1]);
  return at;
}

size_t RecordEntryOffset(const Bytes& snap, int64_t nodes, int64_t record) {
  size_t at = NodeEntryOffset(snap, nodes) + 9;  // after the nodes' end marker
  for (int64_t i = 0; i < record; ++i) at += 9 + 41 + LoadU32(&snap[at + 1]);
  return at;
}
}  // namespace

TEST(Snapshot, RootOnlyResultHasItsExactBytes) {
  TempDir dir;
  bkf empty;
  AppState().m_bProcessRunning.store(1);
  ASSERT_EQ(SaveSnapshot(empty, u"/t/a.bkf", dir / "root.QUILLONMOSSEL"), 1);
  AppState().m_bProcessRunning.store(0);
  const Bytes snap = ReadAll(dir / "root.QUILLONMOSSEL");
  ASSERT_EQ(snap.size(), 113u);
  Bytes want = {18, 0, 0, 0};
  for (char16_t c : std::u16string(u"/t/a.bkf")) want.push_back(uint8_t(c)), want.push_back(0);
  want.insert(want.end(), {0, 0, 'T', 10, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
  auto i64 = [&](int64_t v) {
    for (int k = 0; k < 8; ++k) want.push_back(uint8_t(uint64_t(v) >> (8 * k)));
  };
  i64(-1), i64(-1), i64(-1), i64(0), i64(-1), i64(-1);
  want.insert(want.end(), {0, 0});
  for (char16_t c : std::u16string(u"ROOT")) want.push_back(uint8_t(c)), want.push_back(0);
  want.insert(want.end(), {0, 0});
  want.insert(want.end(), {'E', 0, 0, 0, 0, 0, 0, 0, 0, 'E', 0, 0, 0, 0, 0, 0, 0, 0});
  EXPECT_EQ(snap, want);
}

TEST(Snapshot, RoundTripKeepsImagesAndNamesAndReopensTheBackup) {
  TempDir dir;
  fixture::DemoBackup().WriteTo(dir / "demo.bkf");
  for (bool advanced : {false, true}) {
    std::unique_ptr<bkf> scanned = advanced ? std::make_unique<bkfAdvance>() : std::make_unique<bkf>();
    AppState().m_bProcessRunning.store(1);
    ASSERT_EQ(scanned->Scan(dir / "demo.bkf"), 1);
    const Bytes first = Save(*scanned, dir / "a.QUILLONMOSSEL");
    auto loaded = Load(dir / "a.QUILLONMOSSEL");
    ASSERT_EQ(loaded->result, 1);
    const bkf& s = *loaded->scanner;
    EXPECT_EQ(typeid(s), typeid(bkf));  // always a Standard scanner object
    EXPECT_EQ(quillon::PathFromUtf16(loaded->bkfPath), dir / "demo.bkf");
    ASSERT_EQ(s.m_tree.Count(), scanned->m_tree.Count());
    ASSERT_EQ(s.m_files.Count(), scanned->m_files.Count());
    for (int64_t i = 0; i < s.m_tree.Count(); ++i) {
      EXPECT_EQ(std::memcmp(&s.m_tree.Node(i), &scanned->m_tree.Node(i), sizeof(TreeNode)), 0);
      EXPECT_EQ(s.m_tree.Name(i), scanned->m_tree.Name(i));
    }
    for (int64_t i = 0; i < s.m_files.Count(); ++i) {
      EXPECT_EQ(std::memcmp(&s.m_files.Record(i), &scanned->m_files.Record(i), sizeof(FoundFileRecord)), 0);
      EXPECT_EQ(s.m_files.Name(i), scanned->m_files.Name(i));
    }
    // The file is open again: content reads as after the scan.
    const int64_t report = FileByName(s, u"report.txt");
    EXPECT_EQ(RecordContent(s, report), RecordContent(*scanned, report));
    EXPECT_EQ(Save(s, dir / "b.QUILLONMOSSEL"), first);
  }
}

TEST(Snapshot, NameLengthsCountTheTerminator) {
  TempDir dir;
  fixture::BkfWriter w;
  w.Sset(1, u"X");
  fixture::WriteFile(dir / "s.bkf", w.Data());
  auto scan = ScanFile(dir / "s.bkf");
  const Bytes snap = Save(*scan->scanner, dir / "s.QUILLONMOSSEL");
  const size_t setEntry = NodeEntryOffset(snap, 2);  // ROOT, TAPE CREATED , SET 1 :X
  EXPECT_EQ(snap[setEntry], 'T');
  EXPECT_EQ(LoadU32(&snap[setEntry + 1]), 18u);
}

TEST(Snapshot, MovedBackupIsReportedAndRefused) {
  TempDir dir;
  fixture::DemoBackup().WriteTo(dir / "demo.bkf");
  auto scan = ScanFile(dir / "demo.bkf");
  Save(*scan->scanner, dir / "m.QUILLONMOSSEL");
  std::filesystem::rename(dir / "demo.bkf", dir / "moved.bkf");
  auto loaded = Load(dir / "m.QUILLONMOSSEL");
  EXPECT_EQ(loaded->result, 0);
  EXPECT_EQ(loaded->scanner, nullptr);
  EXPECT_EQ(loaded->notify.boxes, (std::vector<std::u16string>{kSnapshotBkfMissing}));
}

TEST(Snapshot, DamagedSnapshotsAreRefused) {
  TempDir dir;
  fixture::DemoBackup().WriteTo(dir / "demo.bkf");
  auto scan = ScanFile(dir / "demo.bkf");
  const Bytes good = Save(*scan->scanner, dir / "good.QUILLONMOSSEL");
  const size_t node3 = NodeEntryOffset(good, 3);
  const size_t recordsEnd = good.size() - 9;
  auto put64 = [](Bytes b, size_t at, int64_t v) {
    for (int k = 0; k < 8; ++k) b[at + size_t(k)] = uint8_t(uint64_t(v) >> (8 * k));
    return b;
  };
  auto put32 = [](Bytes b, size_t at, uint32_t v) {
    for (int k = 0; k < 4; ++k) b[at + size_t(k)] = uint8_t(v >> (8 * k));
    return b;
  };
  const size_t image = node3 + 9;  // the node's 54-byte image
  struct Case {
    const char* what;
    Bytes bytes;
  } cases[] = {
      {"cut in the record section", Bytes(good.begin(), good.begin() + long(recordsEnd - 20))},
      {"second end marker missing", Bytes(good.begin(), good.begin() + long(recordsEnd))},
      {"cut in the node section", Bytes(good.begin(), good.begin() + long(node3 + 30))},
      {"empty file", Bytes()},
      {"parent outside the list", put64(good, image + 4, 999)},
      {"parent after the node", put64(good, image + 4, 5)},
      {"first child outside", put64(good, image + 12, -7)},
      {"sibling loop", put64(good, image + 20, 3)},
      {"first file outside", put64(good, image + 36, 10000)},
      {"last file outside", put64(good, image + 44, -5)},
      {"odd name length", put32(good, node3 + 1, 17)},
      {"zero name length", put32(good, node3 + 1, 0)},
      {"name length 4096", put32(good, node3 + 1, 4096)},
      {"odd path length", put32(good, 0, 7)},
      {"record parent outside",
       put64(good, RecordEntryOffset(good, scan->scanner->m_tree.Count(), 4) + 9 + 6, 4000)},
      {"record index not its position",
       put64(good, RecordEntryOffset(good, scan->scanner->m_tree.Count(), 2) + 9 + 15, 3)},
  };
  for (const auto& c : cases) {
    fixture::WriteFile(dir / "bad.QUILLONMOSSEL", c.bytes);
    auto loaded = Load(dir / "bad.QUILLONMOSSEL");
    EXPECT_EQ(loaded->result, 0) << c.what;
    EXPECT_EQ(loaded->scanner, nullptr) << c.what;
  }
  EXPECT_EQ(Load(dir / "good.QUILLONMOSSEL")->result, 1);
  EXPECT_EQ(Load(dir / "missing.QUILLONMOSSEL")->result, 0);
}
