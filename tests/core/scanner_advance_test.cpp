// The Advanced scanner where it differs from the Standard one.
#include <gtest/gtest.h>

#include "scanner_advance.h"
#include "test_support.h"

using namespace testing_support;
using fixture::BkfWriter;
using fixture::BlockOptions;
using fixture::Bytes;
using fixture::FileOptions;
using fixture::Stream;

namespace {
struct Both {
  std::unique_ptr<ScanOutcome> standard, advanced;
};

std::unique_ptr<ScanOutcome> ScanAdvanced(const Bytes& bytes, bool heuristic = false, uint64_t rangeEnd = 0) {
  static TempDir dir;
  static int n = 0;
  const auto path = dir / ("adv-" + std::to_string(n++) + ".bkf");
  fixture::WriteFile(path, bytes);
  auto outcome = std::make_unique<ScanOutcome>();
  ScanOptions options;
  options.mode = ScanMode::Advanced;
  options.heuristic = heuristic;
  options.rangeEnd = rangeEnd;
  outcome->scanner = MakeScanner(options);
  outcome->scanner->m_hNotifyWnd = &outcome->notify;
  AppState().m_bProcessRunning.store(1);
  outcome->result = outcome->scanner->Scan(path);
  AppState().m_bProcessRunning.store(0);
  return outcome;
}

Both ScanBoth(const Bytes& bytes) { return {ScanBytes(bytes), ScanAdvanced(bytes)}; }

bool Has(const std::unique_ptr<ScanOutcome>& o, const std::u16string& file) {
  return FileByName(*o->scanner, file) >= 0;
}

// A complete file block to hide inside other data.
Bytes DecoyFileBlock() {
  BkfWriter w(BkfWriter::Layout::Packed);
  w.File(u"decoy.txt", "not a file");
  return w.Data();
}
}  // namespace

TEST(AdvancedScan, MeasuresBlockExtentsAsTheStreamChainSays) {
  BkfWriter w(BkfWriter::Layout::Packed);
  // STAN of 100 000 bytes at first-stream offset 90 (rounded to 92), nothing after it.
  const uint64_t at = w.Block("FILE", 88, {}, {{84, fixture::Utf16Le(u"x")}},
                              {Stream{"STAN", Bytes(100000, 'a'), 0, {}}}, BlockOptions{5, 90, 0, false});
  w.Zeros(4096);
  const auto path = std::filesystem::temp_directory_path() / "quillon-extent.bkf";
  fixture::WriteFile(path, w.Data());
  bkfAdvance s;
  ASSERT_TRUE(s.m_file.Open(path));
  EXPECT_EQ(s.BlockExtent(at, 90), 92u + 22 + 100000 + 2);
  EXPECT_EQ(s.BlockExtent(at, 2000), 1024u);  // no known stream there
  std::filesystem::remove(path);
}

TEST(AdvancedScan, AJumpNeverPassesTheBlockThatFollowsAnExtent) {
  // SFMB with SPAD 990 at offset 52: extent 1064. A jump rounded up to 1536
  // would pass the file block at 1100; the walk goes on where the extent
  // ends and finds both files.
  BkfWriter w(BkfWriter::Layout::Packed);
  w.Block("SFMB", 52, {}, {}, {Stream{"SPAD", Bytes(990, 0), 0, {}}}, BlockOptions{5, {}, 0, false});
  w.Zeros(1100 - w.Size());
  w.File(u"skipped.txt", "inside the jump", FileOptions{BlockOptions{5, {}, 0, false}, {}, {}, true, 0});
  w.Zeros(1536 - w.Size());
  w.File(u"landed.txt", "at the jump");
  const Both r = ScanBoth(w.Data());
  EXPECT_TRUE(Has(r.advanced, u"skipped.txt"));
  EXPECT_TRUE(Has(r.advanced, u"landed.txt"));
  EXPECT_TRUE(Has(r.standard, u"skipped.txt"));
  EXPECT_TRUE(Has(r.standard, u"landed.txt"));
}

TEST(AdvancedScan, CorruptFileBlockIsHandledBeforeALaterFileInTheWindow) {
  BkfWriter w(BkfWriter::Layout::Packed);
  w.Zeros(10);
  w.Marker("CFIL", BlockOptions{5, {}, 0, false});
  w.Zeros(500 - w.Size());
  w.File(u"after-cfil.txt", "ok");
  w.PadTo(4096);
  const Both r = ScanBoth(w.Data());
  EXPECT_TRUE(Has(r.standard, u"after-cfil.txt"));
  // The Advanced walk handles the CFIL block and goes on where it ends (its
  // header checks, zeros lead to the next block), so the file is not lost.
  EXPECT_TRUE(Has(r.advanced, u"after-cfil.txt"));
  // With a header that fails its checksum the extent is not trusted, but a
  // whole window on would pass the file block, whose header checks: the walk
  // goes on there.
  BkfWriter bad(BkfWriter::Layout::Packed);
  bad.Zeros(10);
  bad.Marker("CFIL", BlockOptions{5, {}, 0, false, true});
  bad.Zeros(500 - bad.Size());
  bad.File(u"after-cfil.txt", "ok");
  bad.PadTo(4096);
  EXPECT_TRUE(Has(ScanBoth(bad.Data()).advanced, u"after-cfil.txt"));
}

TEST(AdvancedScan, TagsInsideFolderDataAreJumpedOver) {
  // A directory block with a large security descriptor holding block letters
  // (as NTBackup's own backups do).
  Bytes descriptor(3000, 0x20);
  const Bytes decoy = DecoyFileBlock();
  std::copy(decoy.begin(), decoy.end(), descriptor.begin() + 1500);
  BkfWriter w;
  w.Volb(u"C:");
  w.Block("DIRB", 84, {}, {{80, fixture::Utf16Le(std::u16string(u"Docs\0", 5))}},
          {Stream{"NACL", descriptor, 0, {}}}, BlockOptions{});
  w.File(u"real.txt", "real");
  const Both r = ScanBoth(w.Data());
  EXPECT_TRUE(Has(r.standard, u"decoy.txt"));
  EXPECT_FALSE(Has(r.advanced, u"decoy.txt"));
  EXPECT_TRUE(Has(r.advanced, u"real.txt"));
  EXPECT_GT(NodeByPath(*r.advanced->scanner, {u"TAPE CREATED ", u"SET CREATED ", u"C:", u"Docs"}), 0);
}

TEST(AdvancedScan, KnownStreamsIncludeNtrpAndHeuristicTagsAddUnknownOnes) {
  for (const char* id : {"NTRP", "ZZ42"}) {
    Bytes data(4000, 0x20);
    const Bytes decoy = DecoyFileBlock();
    std::copy(decoy.begin(), decoy.end(), data.begin() + 2000);
    BkfWriter w;
    w.Volb(u"C:");
    FileOptions options;
    options.after = {Stream{id, data, 0, {}}};
    w.File(u"with-stream.txt", "content", options);
    w.File(u"next.txt", "next");
    const auto plain = ScanAdvanced(w.Data());
    const auto heuristic = ScanAdvanced(w.Data(), true);
    const bool known = std::string(id) == "NTRP";
    EXPECT_EQ(Has(plain, u"decoy.txt"), !known) << id;
    EXPECT_FALSE(Has(heuristic, u"decoy.txt")) << id;
    EXPECT_TRUE(Has(plain, u"next.txt")) << id;
    EXPECT_TRUE(Has(heuristic, u"next.txt")) << id;
  }
}

TEST(AdvancedScan, RejectsImplausibleOsVersions) {
  for (uint8_t os : {uint8_t(32), uint8_t(33), uint8_t(40)}) {
    BkfWriter w;
    w.Tape(u"Media", u"NTBACKUP", BlockOptions{os, {}, 0, true});
    w.File(u"f.txt", "x", FileOptions{BlockOptions{os, {}, 0, true}, {}, {}, true, 0});
    const auto r = ScanAdvanced(w.Data());
    EXPECT_EQ(NodeByPath(*r->scanner, {u"Media"}) > 0, os < 33) << int(os);
    EXPECT_EQ(Has(r, u"f.txt"), os < 33) << int(os);
  }
}

TEST(AdvancedScan, NamesNodesItsOwnWay) {
  BkfWriter w;
  const uint64_t tape = w.Tape(u"", u"NTBACKUP.EXE");
  w.Overwrite(tape + 68, Bytes{0, 0, 0, 0});  // Media Name: size 0, offset 0
  w.Sset(1, u"S");
  w.Volb(u"C: Local Disk");
  w.Dirb(u"Windows");
  w.File(u"win.ini", "[windows]");
  w.Sset(2, u"T");
  w.Volb(u":odd");
  w.Sset(3, u"");  // an empty set name adds no set
  const auto r = ScanAdvanced(w.Data());
  const bkf& s = *r->scanner;
  const int64_t windows = NodeByPath(s, {u"NTBACKUP.EXE", u"SET 1 :S", u"C:", u"Windows"});
  ASSERT_GT(windows, 0);
  EXPECT_EQ(FileNames(s, windows), (std::vector<std::u16string>{u"win.ini"}));
  EXPECT_GT(NodeByPath(s, {u"NTBACKUP.EXE", u"SET 2 :T", u":odd"}), 0);
  EXPECT_EQ(ChildNames(s, NodeByPath(s, {u"NTBACKUP.EXE"})).size(), 2u);
}

TEST(AdvancedScan, FileBlocksWithTheirFirstStreamInTheSecondKiB) {
  BkfWriter w;
  w.Volb(u"C:");
  FileOptions far;
  far.block.extraBeforeStreams = 1100;
  w.File(u"far.txt", "far content", far);
  w.File(u"near.txt", "near");
  const Both r = ScanBoth(w.Data());
  EXPECT_FALSE(Has(r.standard, u"far.txt"));
  ASSERT_TRUE(Has(r.advanced, u"far.txt"));
  const int64_t f = FileByName(*r.advanced->scanner, u"far.txt");
  const auto content = RecordContent(*r.advanced->scanner, f);
  EXPECT_EQ(std::string(content.begin(), content.end()), "far content");
  EXPECT_TRUE(Has(r.advanced, u"near.txt"));
}

TEST(AdvancedScan, OrphanFilesGetADummyVolumeAndNoPlausibilityTest) {
  BkfWriter w;
  w.File(u"big.bin", std::string(5000, 'b'));
  const auto r = ScanAdvanced(w.Data(), false, 2048);
  const bkf& s = *r->scanner;
  EXPECT_GT(NodeByPath(s, {u"TAPE CREATED ", u"SET CREATED ", u"DUMY VOLUME XX: "}), 0);
  EXPECT_TRUE(Has(r, u"big.bin"));  // longer than the range, still recorded
}

TEST(AdvancedScan, HostileExtentsEndTheWalk) {
  BkfWriter w;
  FileOptions options;
  options.after = {Stream{"NTOI", Bytes(8, 0), 0, UINT64_MAX - 30}};
  w.File(u"huge.txt", "x", options);
  w.File(u"next.txt", "y");
  const auto r = ScanAdvanced(w.Data());
  EXPECT_TRUE(Has(r, u"huge.txt"));
  EXPECT_EQ(r->notify.Count(UM_SCAN_FINISHED), 1u);
}

TEST(AdvancedScan, RealBackupGivesTheSameTree) {
  auto standard = ScanFile(TestData("ntbackup-boot-ini.bkf"));
  const auto r = ScanAdvanced(ReadAll(TestData("ntbackup-boot-ini.bkf")));
  const bkf& s = *r->scanner;
  ASSERT_EQ(s.m_files.Count(), 1);
  EXPECT_EQ(s.m_files.Name(0), u"boot.ini");
  EXPECT_EQ(uint64_t(s.m_files.Record(0).dataLength), 210u);
  EXPECT_EQ(s.m_tree.Count(), standard->scanner->m_tree.Count());
}
