// Damaged backups: headers are trusted only when their checksums hold, a
// jump never passes a block, a length that cannot be right is cut, folders
// of a set without its volume block are found through the index, and lost
// or long names keep their files in place. Both modes give back every file
// whose own blocks and data survived.
#include <gtest/gtest.h>

#include "mtf.h"
#include "scan_options.h"
#include "split_backup.h"
#include "test_support.h"

using namespace testing_support;
using fixture::BkfWriter;
using fixture::Bytes;

namespace {
std::unique_ptr<ScanOutcome> Scan(const Bytes& bytes, ScanMode mode) {
  static TempDir dir;
  static int n = 0;
  const auto path = dir / ("damage-" + std::to_string(n++) + ".bkf");
  fixture::WriteFile(path, bytes);
  auto outcome = std::make_unique<ScanOutcome>();
  ScanOptions options;
  options.mode = mode;
  outcome->scanner = MakeScanner(options);
  outcome->scanner->m_hNotifyWnd = &outcome->notify;
  AppState().m_bProcessRunning.store(1);
  outcome->result = outcome->scanner->Scan(path);
  AppState().m_bProcessRunning.store(0);
  return outcome;
}

constexpr ScanMode kModes[] = {ScanMode::Standard, ScanMode::Advanced};
const char* ModeName(ScanMode m) { return m == ScanMode::Standard ? "Standard" : "Advanced"; }

std::string Content(int i, size_t size) {
  std::string s;
  while (s.size() < size) s += "file " + std::to_string(i) + " FILE DIRB text; ";
  s.resize(size);
  return s;
}

std::u16string FileName(int i) {
  const std::string n = "f" + std::to_string(i) + ".txt";
  return std::u16string(n.begin(), n.end());
}

// A backup of `count` files; `blocks` and `data` get each file's block and
// first data position.
BkfWriter Backup(int count, size_t size, std::vector<uint64_t>* blocks = nullptr,
                 std::vector<uint64_t>* data = nullptr) {
  BkfWriter w;
  w.Tape(u"T");
  w.Sset(1, u"S");
  w.Volb(u"C:");
  w.Dirb(u"Docs");
  for (int i = 0; i < count; ++i) {
    const uint64_t at = w.File(FileName(i), Content(i, size));
    if (blocks) blocks->push_back(at);
    if (data) data->push_back(w.LastStanDataPosition());
  }
  w.Marker("ESET");
  return w;
}

// The files among 0..count-1 (but `except`) whose record has their whole content.
int IntactFiles(const bkf& s, int count, size_t size, int except = -1) {
  int intact = 0;
  for (int i = 0; i < count; ++i) {
    if (i == except) continue;
    const int64_t f = FileByName(s, FileName(i));
    if (f < 0) continue;
    const Bytes got = RecordContent(s, f);
    intact += std::string(got.begin(), got.end()) == Content(i, size);
  }
  return intact;
}
}  // namespace

TEST(HeaderChecksums, WrittenByTheWriterAndHeldByTheRealSampleBlocksOnly) {
  BkfWriter good(BkfWriter::Layout::Packed);
  const uint64_t block = good.File(u"a.txt", "alpha");
  const uint64_t stan = good.LastStanDataPosition() - MtfStreamHeader::kSize;
  EXPECT_TRUE(mtf::BlockHeaderChecks(good.Data().data() + block));
  EXPECT_TRUE(mtf::StreamHeaderChecks(good.Data().data() + stan));
  BkfWriter wrong(BkfWriter::Layout::Packed);
  wrong.WriteWrongChecksums(true);
  wrong.File(u"a.txt", "alpha");
  EXPECT_FALSE(mtf::BlockHeaderChecks(wrong.Data().data() + block));
  EXPECT_FALSE(mtf::StreamHeaderChecks(wrong.Data().data() + stan));

  // NTBackup's blocks all check; the tags in its catalog do not.
  const Bytes sample = ReadAll(TestData("ntbackup-boot-ini.bkf"));
  TagTable tags;
  std::vector<size_t> checked, unchecked;
  for (size_t i = 0; i + MtfBlockHeader::kSize <= sample.size(); ++i) {
    if (tags.FindBlockTag(sample.data() + i) < 0) continue;
    (mtf::BlockHeaderChecks(sample.data() + i) ? checked : unchecked).push_back(i);
  }
  EXPECT_EQ(checked, (std::vector<size_t>{0, 1024, 2048, 3072, 4096, 25600, 26624, 27648, 30720, 31744}));
  EXPECT_EQ(unchecked, (std::vector<size_t>{28696, 28791, 28861, 29943}));
}

TEST(DamagedBackup, AFlippedLengthBitCostsNoOtherFileInEitherMode) {
  constexpr int kCount = 24;
  std::vector<uint64_t> data;
  for (int victim : {0, 5, 23}) {
    for (int byte : {0, 1, 2, 4}) {
      BkfWriter w = Backup(kCount, 3000, nullptr, &data);
      const uint64_t lengthAt = data[size_t(victim)] - MtfStreamHeader::kSize + 8 + uint64_t(byte);
      w.Overwrite(lengthAt, Bytes{uint8_t(w.Data()[lengthAt] ^ 0x40)});
      data.clear();
      int standard = 0;
      for (ScanMode mode : kModes) {
        auto scan = Scan(w.Data(), mode);
        const int intact = IntactFiles(*scan->scanner, kCount, 3000, victim);
        EXPECT_EQ(intact, kCount - 1) << ModeName(mode) << " victim " << victim << " byte " << byte;
        if (mode == ScanMode::Standard) {
          standard = intact;
        } else {
          EXPECT_GE(intact, standard);
        }
      }
    }
  }
}

TEST(DamagedBackup, BytesDeletedInsideAFileCostNoFileAfterItAndCutItsLength) {
  constexpr int kCount = 20;
  for (uint64_t deleted : {uint64_t(1), uint64_t(1234), uint64_t(3001)}) {
    std::vector<uint64_t> blocks, data;
    BkfWriter w = Backup(kCount, 5000, &blocks, &data);
    w.DeleteRange(data[3] + 1000, deleted);
    for (ScanMode mode : kModes) {
      auto scan = Scan(w.Data(), mode);
      const bkf& s = *scan->scanner;
      EXPECT_EQ(IntactFiles(s, kCount, 5000, 3), kCount - 1) << ModeName(mode) << " " << deleted;
      // The damaged file's data is what lies before the next block (a byte
      // less still ends before that block: nothing to cut).
      const int64_t f = FileByName(s, FileName(3));
      if (deleted == 1) {
        EXPECT_TRUE(s.m_cutRecords.empty());
        continue;
      }
      ASSERT_GE(f, 0) << ModeName(mode);
      EXPECT_EQ(uint64_t(s.m_files.Record(f).dataLength), blocks[4] - deleted - data[3]) << ModeName(mode);
      EXPECT_EQ(s.m_cutRecords, std::vector<int64_t>{f}) << ModeName(mode);
      const auto notes = s.DamageNotes();
      ASSERT_EQ(notes.size(), 1u);
      EXPECT_NE(notes[0].find(u"Possibly incomplete"), std::u16string::npos);
      EXPECT_NE(notes[0].find(FileName(3)), std::u16string::npos);
    }
  }
}

TEST(DamagedBackup, ALengthThatCannotBeRightIsCutNotThrownAway) {
  struct Case {
    const char* what;
    uint64_t declared;
    bool truncate;   // the file ends inside the last file's data
    bool cut;
  } cases[] = {
      {"runs past the next block", 5000, false, true},
      {"runs past the end of the file", uint64_t(1) << 40, false, true},
      {"truncated backup", 0, true, true},
      {"healthy", 0, false, false},
  };
  for (const Case& c : cases) {
    BkfWriter w;
    w.Volb(u"C:");
    fixture::FileOptions options;
    const std::string content = Content(1, 3000);
    uint64_t dataAt = 0, nextBlock = 0;
    if (c.declared) {
      options.before.push_back(fixture::Stream{"NTOI", Bytes(8, 1), 0, {}});
      w.File(u"long.txt", content, options);
      dataAt = w.LastStanDataPosition();
    } else {
      w.File(u"long.txt", content);
      dataAt = w.LastStanDataPosition();
    }
    nextBlock = w.Size();
    w.File(u"next.txt", "next");
    w.File(u"tail.txt", Content(3, 10000));
    Bytes bytes = w.Data();
    if (c.declared) {
      // A STAN header that declares more than is there and still checks.
      uint8_t* h = bytes.data() + dataAt - MtfStreamHeader::kSize;
      for (int i = 0; i < 8; ++i) h[8 + i] = uint8_t(c.declared >> (8 * i));
      const uint16_t x = mtf::XorWords(h, 10);
      h[20] = uint8_t(x), h[21] = uint8_t(x >> 8);
    }
    if (c.truncate) bytes.resize(size_t(dataAt + 1000));
    for (ScanMode mode : kModes) {
      auto scan = Scan(bytes, mode);
      const bkf& s = *scan->scanner;
      const int64_t f = FileByName(s, u"long.txt");
      ASSERT_GE(f, 0) << c.what << " " << ModeName(mode);
      const uint64_t expected = c.truncate ? 1000 : c.declared ? nextBlock - dataAt : content.size();
      EXPECT_EQ(uint64_t(s.m_files.Record(f).dataLength), expected) << c.what << " " << ModeName(mode);
      EXPECT_EQ(s.m_cutRecords.size(), c.cut ? 1u : 0u) << c.what << " " << ModeName(mode);
      if (!c.truncate) {
        EXPECT_GE(FileByName(s, u"next.txt"), 0) << c.what << " " << ModeName(mode);
      }
    }
  }
}

TEST(DamagedBackup, AFileThatGoesOnInTheNextPartKeepsItsLength) {
  fixture::SplitBackupWriter split;
  split.Sset(1, u"S");
  split.Volb(u"C:");
  split.Dirb(u"Big");
  split.Part().File(u"before.txt", "before");
  split.Part().PadTo(1024);
  Bytes big(20000);
  for (size_t i = 0; i < big.size(); ++i) big[i] = uint8_t(i * 7);
  split.SplitFile(u"big.bin", big, {4098});
  for (ScanMode mode : kModes) {
    auto scan = Scan(split.PartWriter(0).Data(), mode);
    const bkf& s = *scan->scanner;
    const int64_t f = FileByName(s, u"big.bin");
    ASSERT_GE(f, 0) << ModeName(mode);
    EXPECT_EQ(uint64_t(s.m_files.Record(f).dataLength), big.size()) << ModeName(mode);
    EXPECT_TRUE(s.m_cutRecords.empty()) << ModeName(mode);
    EXPECT_GE(FileByName(s, u"before.txt"), 0) << ModeName(mode);
  }
}

TEST(DamagedBackup, BlocksPackedWithoutAlignmentAreAllFound) {
  BkfWriter w(BkfWriter::Layout::Packed);
  w.Tape(u"T");
  w.Sset(1, u"S");
  w.Volb(u"C:");
  w.Dirb(u"Docs");
  w.File(u"one.txt", "one");
  w.File(u"two.txt", Content(2, 700));
  w.File(u"three.txt", "three");
  w.Marker("ESET");
  for (ScanMode mode : kModes) {
    auto scan = Scan(w.Data(), mode);
    const bkf& s = *scan->scanner;
    const int64_t docs = NodeByPath(s, {u"T", u"SET 1 :S", u"C:", u"Docs"});
    ASSERT_GT(docs, 0) << ModeName(mode);
    EXPECT_EQ(FileNames(s, docs), (std::vector<std::u16string>{u"one.txt", u"two.txt", u"three.txt"}))
        << ModeName(mode);
  }
}

TEST(FoldersWithoutVolume, TheIndexGivesTheTreeTheFullSearchGave) {
  // The second set lost its volume block: its folders are resolved by name
  // under the volume of the first set, as the search of the whole subtree
  // resolved them.
  BkfWriter w;
  w.Tape(u"T");
  w.Sset(1, u"One");
  w.Volb(u"C:");
  w.Dirb(u"Data");
  w.Dirb(u"Data\\A");
  w.File(u"a.txt", "a");
  w.Sset(2, u"Two");
  w.Dirb(u"Data");
  w.File(u"root.txt", "r");
  w.Dirb(u"Data\\B");
  w.File(u"b.txt", "b");
  w.Dirb(u"Data\\A\\Deep");
  w.File(u"c.txt", "c");
  w.Dirb(u"Elsewhere\\X");  // a first part that names no folder: nothing added
  w.File(u"d.txt", "d");
  for (ScanMode mode : kModes) {
    auto scan = Scan(w.Data(), mode);
    const bkf& s = *scan->scanner;
    const int64_t data = NodeByPath(s, {u"T", u"SET 1 :One", u"C:", u"Data"});
    ASSERT_GT(data, 0) << ModeName(mode);
    EXPECT_EQ(ChildNames(s, data), (std::vector<std::u16string>{u"B", u"A"})) << ModeName(mode);
    const int64_t a = NodeByPath(s, {u"T", u"SET 1 :One", u"C:", u"Data", u"A"});
    const int64_t b = NodeByPath(s, {u"T", u"SET 1 :One", u"C:", u"Data", u"B"});
    const int64_t deep = NodeByPath(s, {u"T", u"SET 1 :One", u"C:", u"Data", u"A", u"Deep"});
    const int64_t two = NodeByPath(s, {u"T", u"SET 2 :Two"});
    EXPECT_EQ(FileNames(s, a), std::vector<std::u16string>{u"a.txt"}) << ModeName(mode);
    EXPECT_EQ(FileNames(s, b), std::vector<std::u16string>{u"b.txt"}) << ModeName(mode);
    EXPECT_EQ(FileNames(s, deep), (std::vector<std::u16string>{u"c.txt", u"d.txt"})) << ModeName(mode);
    EXPECT_EQ(FileNames(s, two), std::vector<std::u16string>{u"root.txt"}) << ModeName(mode);
    EXPECT_TRUE(ChildNames(s, two).empty()) << ModeName(mode);
  }
}

TEST(DamagedNames, LongTapeSetAndVolumeNamesAreReadWhole) {
  // 520, 512 and 526 bytes.
  const std::u16string tape = std::u16string(260, u't'), set = std::u16string(256, u's'),
                       volume = u"C: " + std::u16string(260, u'v');
  BkfWriter w;
  w.Tape(tape);
  w.Sset(1, set);
  w.Volb(volume);
  w.Dirb(u"Docs");
  w.File(u"a.txt", "in docs");
  for (ScanMode mode : kModes) {
    auto scan = Scan(w.Data(), mode);
    const bkf& s = *scan->scanner;
    // Standard names the volume with the device's whole text, Advanced with its unit.
    const int64_t docs =
        NodeByPath(s, {tape, u"SET 1 :" + set, mode == ScanMode::Standard ? volume : u"C:", u"Docs"});
    ASSERT_GT(docs, 0) << ModeName(mode);
    EXPECT_EQ(FileNames(s, docs), std::vector<std::u16string>{u"a.txt"}) << ModeName(mode);
  }
}

TEST(DamagedNames, LongNamesAreKeptAndLostOnesGetTheirBlocksPosition) {
  const std::u16string longName = std::u16string(300, u'n') + u".txt";  // 608 bytes
  std::u16string deepPath;
  for (int i = 0; i < 50; ++i) deepPath += (i ? u"\\" : u"") + std::u16string(u"level") + char16_t(u'A' + i % 26);
  BkfWriter w;
  w.Tape(u"T");
  w.Sset(1, u"S");
  w.Volb(u"C:");
  w.Dirb(u"Docs");
  w.File(longName, "long");
  const uint64_t lost = w.File(u"lost.txt", "lost name");
  w.Overwrite(lost + 88, Bytes(16, 0));  // the name's bytes (the header still checks)
  const uint64_t lostDir = w.Dirb(u"Gone");
  w.Overwrite(lostDir + 84, Bytes(10, 0));
  w.File(u"in-gone.txt", "in gone");
  w.Dirb(deepPath);
  w.File(u"deep.txt", "deep");
  fixture::FileOptions wrong;
  wrong.block.wrongChecksums = true;
  w.File(std::u16string(300, u'w'), "unchecked", wrong);  // the Part's rule: dropped
  for (ScanMode mode : kModes) {
    auto scan = Scan(w.Data(), mode);
    const bkf& s = *scan->scanner;
    EXPECT_GE(FileByName(s, longName), 0) << ModeName(mode);
    EXPECT_LT(FileByName(s, std::u16string(300, u'w')), 0) << ModeName(mode);
    const int64_t standIn = FileByName(s, bkf::StandInName(lost));
    ASSERT_GE(standIn, 0) << ModeName(mode);
    const Bytes content = RecordContent(s, standIn);
    EXPECT_EQ(std::string(content.begin(), content.end()), "lost name");
    const int64_t gone = NodeByPath(s, {u"T", u"SET 1 :S", u"C:", bkf::StandInName(lostDir)});
    ASSERT_GT(gone, 0) << ModeName(mode);
    EXPECT_EQ(FileNames(s, gone), std::vector<std::u16string>{u"in-gone.txt"}) << ModeName(mode);
    std::vector<std::u16string> path{u"T", u"SET 1 :S", u"C:"};
    for (int i = 0; i < 50; ++i) path.push_back(std::u16string(u"level") + char16_t(u'A' + i % 26));
    EXPECT_EQ(FileNames(s, NodeByPath(s, path)), std::vector<std::u16string>{u"deep.txt"}) << ModeName(mode);
    EXPECT_EQ(s.m_nDamagedNames, 2u) << ModeName(mode);
    const auto notes = s.DamageNotes();
    ASSERT_EQ(notes.size(), 1u) << ModeName(mode);
    EXPECT_EQ(notes[0], u"Damaged names replaced by the position of their block: 2");
  }
}
