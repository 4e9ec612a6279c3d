// The Standard scanner's walk: range, progress, placeholders and handlers.
#include <gtest/gtest.h>

#include "test_support.h"

using namespace testing_support;
using fixture::BkfWriter;
using fixture::Bytes;

namespace {
std::vector<uint64_t> ProgressPositions(const RecordingNotify& n) {
  std::vector<uint64_t> pos;
  for (const auto& m : n.messages)
    if (m.id == UM_SCAN_PROGRESS) pos.push_back(m.progress.position);
  return pos;
}
}  // namespace

TEST(StandardScan, AFileOfZerosGivesTheRootAndProgressForEveryWindow) {
  auto scan = ScanBytes(Bytes(4096, 0));
  ASSERT_EQ(scan->result, 1);
  EXPECT_EQ(scan->scanner->m_tree.Count(), 1);
  EXPECT_EQ(scan->scanner->m_files.Count(), 0);
  // Each window without a tag reports itself; the thousandths gate adds one
  // at 250, 500 and 750 per mille.
  EXPECT_EQ(ProgressPositions(scan->notify), (std::vector<uint64_t>{0, 1024, 1024, 2048, 2048, 3072, 3072}));
  ASSERT_EQ(scan->notify.messages.back().id, UM_SCAN_FINISHED);
  EXPECT_EQ(scan->notify.messages.back().wParam, 100u);
  EXPECT_EQ(scan->notify.Count(UM_SCAN_FINISHED), 1u);
  // Percent is relative to the range end, 0 before the first step.
  EXPECT_FLOAT_EQ(scan->notify.messages[0].progress.percent, 0.0f);
  EXPECT_FLOAT_EQ(scan->notify.messages[1].progress.percent, 25.0f);
  EXPECT_EQ(scan->notify.messages[1].progress.fileLength, 4096u);
}

TEST(StandardScan, FileThatCannotBeOpenedReturnsZeroAndSendsNothing) {
  auto scan = ScanFile("/nonexistent/backup.bkf");
  EXPECT_EQ(scan->result, 0);
  EXPECT_TRUE(scan->notify.messages.empty());
  EXPECT_TRUE(scan->notify.boxes.empty());
}

TEST(StandardScan, RangeIsClampedToTheFileWithItsMessages) {
  struct Case {
    uint64_t start, end;
    std::vector<std::u16string> boxes;
    uint64_t firstWindow;
    size_t windows;
  } cases[] = {
      {0, 0, {}, 0, 4},
      {5000, 0, {kStartRangeMessage}, 0, 4},
      {4096, 0, {}, 0, 0},  // a start equal to the length stays
      {0, 9999, {kEndRangeMessage}, 0, 4},
      {1024, 2048, {}, 1024, 1},
      {2048, 2048, {}, 0, 0},
      {3000, 1000, {}, 0, 0},
  };
  for (const auto& c : cases) {
    auto scan = ScanBytes(Bytes(4096, 0), c.start, c.end);
    EXPECT_EQ(scan->notify.boxes, c.boxes) << c.start << ":" << c.end;
    std::vector<uint64_t> windows;
    for (const auto& m : scan->notify.messages)
      if (m.id == UM_SCAN_PROGRESS && (windows.empty() || windows.back() != m.progress.position))
        windows.push_back(m.progress.position);
    ASSERT_EQ(windows.size(), c.windows) << c.start << ":" << c.end;
    if (!windows.empty()) {
      EXPECT_EQ(windows.front(), c.firstWindow);
    }
    EXPECT_EQ(scan->notify.Count(UM_SCAN_FINISHED), 1u);
  }
}

TEST(StandardScan, HealthyBackupBuildsTapeSetVolumeFoldersAndFiles) {
  BkfWriter w;
  w.Tape(u"Media 1");
  w.Sset(2, u"Daily");
  w.Volb(u"C:");
  w.Dirb(u"");
  w.File(u"boot.ini", "[boot]");
  w.Dirb(u"Windows\\System32");
  w.File(u"a.dll", std::string(3000, 'a'));
  w.File(u"b.dll", std::string(10, 'b'));
  w.Marker("ESET");
  auto scan = ScanBytes(w.Data());
  const bkf& s = *scan->scanner;
  const int64_t vol = NodeByPath(s, {u"Media 1", u"SET 2 :Daily", u"C:"});
  ASSERT_GT(vol, 0);
  EXPECT_EQ(FileNames(s, vol), (std::vector<std::u16string>{u"boot.ini"}));
  const int64_t sys = NodeByPath(s, {u"Media 1", u"SET 2 :Daily", u"C:", u"Windows", u"System32"});
  ASSERT_GT(sys, 0);
  EXPECT_EQ(FileNames(s, sys), (std::vector<std::u16string>{u"a.dll", u"b.dll"}));
  const int64_t a = FileByName(s, u"a.dll");
  const auto content = RecordContent(s, a);
  EXPECT_EQ(std::string(content.begin(), content.end()), std::string(3000, 'a'));
  EXPECT_EQ(uint16_t(s.m_files.Record(a).nameBytes), 10);
  EXPECT_EQ(uint8_t(s.m_files.Record(a).kind), 'F');
  EXPECT_EQ(int64_t(s.m_files.Record(a).index), a);
  EXPECT_EQ(s.m_nFilesFound, 3u);
}

TEST(StandardScan, BlocksBeforeTheirContainersGetPlaceholders) {
  {
    BkfWriter w;
    w.File(u"orphan.txt", "x");
    auto scan = ScanBytes(w.Data());
    const bkf& s = *scan->scanner;
    const int64_t vol = NodeByPath(s, {u"TAPE CREATED ", u"SET CREATED ", u"VOLUME XX: "});
    ASSERT_GT(vol, 0);
    EXPECT_EQ(FileNames(s, vol), (std::vector<std::u16string>{u"orphan.txt"}));
    EXPECT_EQ(s.m_strPathPrefix, u"DUMY VOLUME XX: \\");
  }
  {
    BkfWriter w;
    w.Sset(7, u"Lost tape");
    w.Volb(u"D:");
    auto scan = ScanBytes(w.Data());
    EXPECT_GT(NodeByPath(*scan->scanner, {u"TAPE CREATED ", u"SET 7 :Lost tape", u"D:"}), 0);
  }
  {
    // Each directory block met while no volume exists adds its own pair.
    BkfWriter w;
    w.Tape(u"T");
    w.Dirb(u"First");
    w.Dirb(u"Second");
    auto scan = ScanBytes(w.Data());
    const bkf& s = *scan->scanner;
    EXPECT_GT(NodeByPath(s, {u"T", u"DUMY SET CREATED ", u"DUMY VOLUME XX: ", u"DUMY SET CREATED ",
                             u"DUMY VOLUME XX: "}),
              0);
    EXPECT_EQ(s.m_tree.Count(), 6);
  }
}

TEST(StandardScan, CorruptFileAndSoftFilemarkTagsDoNotStopTheSearch) {
  BkfWriter w(BkfWriter::Layout::Packed);
  w.Zeros(10);
  w.Raw("CFIL");
  w.Zeros(500 - 14);
  w.File(u"after-cfil.txt", "ok");
  auto scan = ScanBytes(w.Data());
  EXPECT_EQ(FileByName(*scan->scanner, u"after-cfil.txt"), 0);
}

TEST(StandardScan, BadDirectoryNameStepsOneByte) {
  BkfWriter w;
  w.Dirb(u"x");
  w.Overwrite(82, Bytes{0x00, 0x04});  // name offset 1024
  w.PadTo(3072);
  auto scan = ScanBytes(w.Data());
  EXPECT_EQ(ProgressPositions(scan->notify), (std::vector<uint64_t>{1, 1025, 1025, 2049, 2049}));
}

TEST(StandardScan, RejectedBlocksAddNothing) {
  struct Case {
    const char* what;
    size_t at;
    Bytes bytes;
  } cases[] = {
      {"offset to first event 2048", 8, {0x00, 0x08}},
      {"name offset 4", 70, {0x04, 0x00}},
      {"name offset 1024", 70, {0x00, 0x04}},
  };
  for (const auto& c : cases) {
    BkfWriter w;
    w.Tape(u"Tape");
    w.Overwrite(c.at, c.bytes);
    auto scan = ScanBytes(w.Data());
    EXPECT_EQ(scan->scanner->m_tree.Count(), 1) << c.what;
  }
  // A name of 512 bytes or more only where the header's checksum holds.
  fixture::BlockOptions wrong;
  wrong.wrongChecksums = true;
  BkfWriter unchecked;
  unchecked.Tape(std::u16string(300, u't'), u"NTBACKUP.EXE", wrong);
  EXPECT_EQ(ScanBytes(unchecked.Data())->scanner->m_tree.Count(), 1);
  BkfWriter ok;
  ok.Tape(u"Tape");
  ok.Overwrite(68, Bytes{0xFF, 0x01});  // size 511, cut at the window's end
  EXPECT_EQ(ScanBytes(ok.Data())->scanner->m_tree.Count(), 2);
}

TEST(StandardScan, StopRequestEndsTheWalkAtTheNextWindowAndStillFinishes) {
  BkfWriter w;
  for (int i = 0; i < 20; ++i) w.File(u"f" + std::u16string(1, char16_t(u'a' + i)), "data");
  const auto path = std::filesystem::temp_directory_path() / "quillon-stop-test.bkf";
  fixture::WriteFile(path, w.Data());
  RecordingNotify notify;
  notify.onProgress = [](const ScanProgress& p) {
    if (p.position >= 5 * 1024) AppState().m_bProcessRunning.store(0);
  };
  bkf s;
  s.m_hNotifyWnd = &notify;
  AppState().m_bProcessRunning.store(1);
  ASSERT_EQ(s.Scan(path), 1);
  EXPECT_EQ(s.m_files.Count(), 6);  // the window that sent the message is still handled
  EXPECT_EQ(notify.messages.back().id, UM_SCAN_FINISHED);
  std::filesystem::remove(path);
}

TEST(StandardScan, BlockInTheLastWindowBeyondTheRangeEndIsStillHandled) {
  BkfWriter w(BkfWriter::Layout::Packed);
  w.Zeros(1010);
  w.File(u"late.txt", "late");
  w.PadTo(4096);
  auto scan = ScanBytes(w.Data(), 0, 1005);
  EXPECT_EQ(scan->scanner->m_files.Count(), 1);
  EXPECT_TRUE(ProgressPositions(scan->notify).empty());  // the walk ended right after the block
  EXPECT_EQ(scan->notify.Count(UM_SCAN_FINISHED), 1u);
}

TEST(StandardScan, StreamLengthsArePlausibleOnlyBelowTheRangeEnd) {
  // Headers whose checksums fail: a length at the range end or beyond adds
  // no record. Headers that check are trusted: the record is added and keeps
  // its length, whose data is all in the file.
  for (bool wrongChecksums : {true, false}) {
    for (uint64_t size : {uint64_t(1048575), uint64_t(1048576)}) {
      BkfWriter w;
      w.WriteWrongChecksums(wrongChecksums);
      w.File(u"big.bin", std::string(size, 'x'));
      auto scan = ScanBytes(w.Data(), 0, 1048576);
      const bool recorded = !wrongChecksums || size < 1048576;
      ASSERT_EQ(scan->scanner->m_files.Count(), recorded ? 1 : 0) << size;
      if (recorded) {
        EXPECT_EQ(uint64_t(scan->scanner->m_files.Record(0).dataLength), size);
      }
      EXPECT_TRUE(scan->scanner->m_cutRecords.empty());
    }
  }
}

TEST(StandardScan, DamagedBackupsGiveBackWhatIsLeft) {
  auto healthy = [] {
    BkfWriter w;
    w.Tape(u"T");
    w.Sset(1, u"S");
    w.Volb(u"C:");
    w.Dirb(u"One");
    w.File(u"one-a.txt", std::string(3000, 'a'));
    w.File(u"one-b.txt", "b");
    w.Dirb(u"Two");
    w.File(u"two-a.txt", std::string(5000, 'c'));
    w.File(u"two-b.txt", "d");
    return w;
  };
  const uint64_t tapeLen = 1024, setLen = 1024, volLen = 1024;
  const uint64_t dirOne = tapeLen + setLen + volLen;
  {
    // The chain's first blocks are gone: placeholders take their place.
    BkfWriter w = healthy();
    w.ZeroRange(0, dirOne);
    auto scan = ScanBytes(w.Data());
    const bkf& s = *scan->scanner;
    EXPECT_EQ(s.m_files.Count(), 4);
    EXPECT_GT(NodeByPath(s, {u"TAPE CREATED ", u"SET CREATED ", u"VOLUME XX: "}), 0);
  }
  {
    // 100 bytes lost in the middle: the blocks after it are found off the grid.
    BkfWriter w = healthy();
    w.DeleteRange(dirOne + 1024 + 500, 100);
    auto scan = ScanBytes(w.Data());
    const bkf& s = *scan->scanner;
    const int64_t two = NodeByPath(s, {u"T", u"SET 1 :S", u"C:", u"Two"});
    ASSERT_GT(two, 0);
    EXPECT_EQ(FileNames(s, two), (std::vector<std::u16string>{u"two-a.txt", u"two-b.txt"}));
    EXPECT_GE(FileByName(s, u"one-b.txt"), 0);
  }
  {
    // A backup cut off inside a file's content keeps the files before it.
    BkfWriter w = healthy();
    const uint64_t twoA = w.Size() - 1024 - 6144;  // two-a.txt: 6 KiB, then two-b.txt: 1 KiB
    w.Truncate(twoA + 3000);
    auto scan = ScanBytes(w.Data());
    const bkf& s = *scan->scanner;
    EXPECT_GE(FileByName(s, u"one-a.txt"), 0);
    EXPECT_GE(FileByName(s, u"one-b.txt"), 0);
    EXPECT_LT(FileByName(s, u"two-b.txt"), 0);
  }
}
