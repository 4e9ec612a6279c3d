// quillon-cli extract: every file of the fixtures comes out byte-exact, the
// save job's log lines, the options, failures named, hostile names kept inside.
#include <gtest/gtest.h>

#include <cstdio>
#include <set>

#include "cli.h"
#include "cli_run.h"
#include "demo_backup.h"
#include "extract_support.h"
#include "lzs_encoder.h"
#include "split_backup.h"
#include "test_support.h"

using namespace testing_support;
using fixture::Bytes;

namespace {

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

// The paths named by the " File saved." lines.
std::vector<std::string> SavedPaths(const std::string& out) {
  std::vector<std::string> paths;
  const std::string tail = " File saved.";
  for (const auto& line : Lines(out))
    if (line.size() > tail.size() && line.compare(line.size() - tail.size(), tail.size(), tail) == 0)
      paths.push_back(line.substr(0, line.size() - tail.size()));
  return paths;
}

std::set<std::string> FilesBelow(const std::filesystem::path& dir) {
  std::set<std::string> files;
  for (const auto& e : std::filesystem::recursive_directory_iterator(dir))
    if (e.is_regular_file()) files.insert(std::filesystem::relative(e.path(), dir).string());
  return files;
}

TEST(CliExtract, DemoBackupInHierarchyAndFlat) {
  TempDir dir;
  fixture::DemoBackup().WriteTo(dir / "demo.bkf");
  auto scan = ScanFile(dir / "demo.bkf");
  const bkf& s = *scan->scanner;
  std::filesystem::create_directories(dir / "tree");
  std::filesystem::create_directories(dir / "flat");

  const CliRun tree = RunWith({"extract", (dir / "demo.bkf").string(), "--to", (dir / "tree").string()});
  ASSERT_EQ(tree.status, kExitOk) << tree.err;
  const auto lines = Lines(tree.out);
  ASSERT_GE(lines.size(), 4u);
  EXPECT_EQ(lines[0], "");
  EXPECT_EQ(lines[1].rfind(" Saving process for recovered files starts.    ", 0), 0u);
  EXPECT_EQ(lines[2], "Number of files to be saved: 9");
  EXPECT_NE(tree.out.find("report.txt saving...                      File Size(Bytes):  5292\n"), std::string::npos);
  EXPECT_NE(tree.out.find("\nNumber of files saved: 9\n\nSaving of recovered files has been completed, saving location is:  " +
                          (dir / "tree").string() + "    "),
            std::string::npos);
  EXPECT_NE(tree.err.find("File(s) saving process has been completed. Saved file(s) location is:"), std::string::npos);
  const auto report = dir / "tree" / "Media created 12_10_2026 at 9_30 AM" / "SET 1 _Daily backup" / "C_" /
                      "Documents" / "report.txt";
  EXPECT_TRUE(ReadAll(report) == RecordContent(s, FileByName(s, u"report.txt")));
  EXPECT_EQ(SavedPaths(tree.out).size(), 9u);
  EXPECT_EQ(FilesBelow(dir / "tree").size(), 9u);

  const CliRun flat = RunWith({"extract", (dir / "demo.bkf").string(), "--to", (dir / "flat").string(), "--flat"});
  ASSERT_EQ(flat.status, kExitOk) << flat.err;
  for (int64_t i = 0; i < s.m_files.Count(); ++i)
    EXPECT_TRUE(ReadAll(dir / "flat" / ToUtf8(s.m_files.Name(i))) == RecordContent(s, i)) << ToUtf8(s.m_files.Name(i));
  // Saving again numbers the names.
  ASSERT_EQ(RunWith({"extract", (dir / "demo.bkf").string(), "--to", (dir / "flat").string(), "--flat"}).status, kExitOk);
  EXPECT_TRUE(std::filesystem::exists(dir / "flat" / "0boot.ini"));
}

TEST(CliExtract, FromASnapshot) {
  TempDir dir;
  fixture::DemoBackup().WriteTo(dir / "demo.bkf");
  const std::string snap = (dir / "demo.QUILLONMOSSEL").string();
  ASSERT_EQ(RunWith({"scan", "--save-snapshot", snap, (dir / "demo.bkf").string()}).status, kExitOk);
  std::filesystem::create_directories(dir / "out");
  const CliRun run = RunWith({"extract", "--snapshot", snap, "--to", (dir / "out").string(), "--flat"});
  ASSERT_EQ(run.status, kExitOk) << run.err;
  auto scan = ScanFile(dir / "demo.bkf");
  const bkf& s = *scan->scanner;
  for (int64_t i = 0; i < s.m_files.Count(); ++i)
    EXPECT_TRUE(ReadAll(dir / "out" / ToUtf8(s.m_files.Name(i))) == RecordContent(s, i)) << ToUtf8(s.m_files.Name(i));
  EXPECT_EQ(RunWith({"extract", "--snapshot", snap, (dir / "demo.bkf").string(), "--to", dir.Path().string()}).status,
            kExitUsage);
}

TEST(CliExtract, AdvancedModeSavesWhatOnlyItFinds) {
  TempDir dir;
  fixture::BkfWriter w;
  w.Volb(u"C:");
  fixture::FileOptions far;
  far.block.extraBeforeStreams = 1100;  // first stream in the block's second KiB
  w.File(u"far.txt", "far content", far);
  fixture::WriteFile(dir / "far.bkf", w.Data());
  std::filesystem::create_directories(dir / "std");
  std::filesystem::create_directories(dir / "adv");
  ASSERT_EQ(RunWith({"extract", (dir / "far.bkf").string(), "--to", (dir / "std").string(), "--flat"}).status, kExitOk);
  EXPECT_FALSE(std::filesystem::exists(dir / "std" / "far.txt"));
  const CliRun adv = RunWith(
      {"extract", (dir / "far.bkf").string(), "--to", (dir / "adv").string(), "--flat", "--advanced", "--heuristic"});
  ASSERT_EQ(adv.status, kExitOk) << adv.err;
  EXPECT_EQ(ReadAll(dir / "adv" / "far.txt"), fixture::FromText("far content"));
}

TEST(CliExtract, OnlyMatchingNames) {
  TempDir dir;
  fixture::DemoBackup().WriteTo(dir / "demo.bkf");
  const CliRun run = RunWith({"extract", (dir / "demo.bkf").string(), "--to", dir.Path().string(), "--flat", "--only", "letter"});
  ASSERT_EQ(run.status, kExitOk) << run.err;
  EXPECT_NE(run.out.find("Number of files to be saved: 2\n"), std::string::npos);
  EXPECT_TRUE(std::filesystem::exists(dir / "letter-to-bank.txt"));
  EXPECT_FALSE(std::filesystem::exists(dir / "boot.ini"));
  const CliRun none = RunWith({"extract", (dir / "demo.bkf").string(), "--to", dir.Path().string(), "--only", "*.XYZ"});
  EXPECT_EQ(none.status, kExitOk);
  EXPECT_NE(none.err.find("No file is present in the list to save."), std::string::npos);
}

TEST(CliExtract, RealSampleBootIni) {
  TempDir dir;
  const CliRun run = RunWith({"extract", TestData("ntbackup-boot-ini.bkf").string(), "--to", dir.Path().string(), "--flat"});
  ASSERT_EQ(run.status, kExitOk) << run.err;
  auto scan = ScanFile(TestData("ntbackup-boot-ini.bkf"));
  const Bytes saved = ReadAll(dir / "boot.ini");
  EXPECT_EQ(saved.size(), 210u);
  EXPECT_TRUE(saved == RecordContent(*scan->scanner, 0));
}

// A backup over three parts with a compressed file in it and a file that
// runs over both part ends.
struct ThreeParts {
  std::vector<std::filesystem::path> parts;
  Bytes big;
  Bytes text;
};
ThreeParts WriteThreeParts(const TempDir& dir) {
  ThreeParts t;
  t.big = BinaryContent(30000, 21);
  t.text = TextContent(120000, 22);
  fixture::SplitBackupWriter w;
  w.Sset(1, u"Daily");
  w.Volb(u"C:");
  w.Dirb(u"Data");
  w.Part().File(u"packed.txt", fixture::CompressedContent(t.text));
  w.Part().File(u"filler.bin", BinaryContent(64 * 1024, 23));
  w.SplitFile(u"big.bin", t.big, {10002, 8002});
  w.Part().File(u"last.txt", "the last file\r\n");
  w.Part().Marker("ESET");
  w.Part().Marker("EOTM");
  t.parts = w.WriteTo(dir.Path(), "split");
  return t;
}

TEST(CliExtract, SplitBackupOverThreeParts) {
  TempDir dir;
  const ThreeParts t = WriteThreeParts(dir);
  const auto out = dir / "out";
  std::filesystem::create_directories(out);
  const CliRun run = RunWith({"extract", t.parts[0].string(), "--to", out.string(), "--flat", "--next-part",
                          t.parts[1].string(), "--next-part", t.parts[2].string()});
  ASSERT_EQ(run.status, kExitOk) << run.err;
  EXPECT_TRUE(ReadAll(out / "big.bin") == t.big);
  EXPECT_TRUE(ReadAll(out / "packed.txt") == t.text);
  EXPECT_TRUE(ReadAll(out / "filler.bin") == BinaryContent(64 * 1024, 23));
  EXPECT_NE(run.err.find("Selected BKF file seems to be split."), std::string::npos);
  // The file that begins in the last part is found there; the continuations
  // of big.bin in the later parts are not saved again.
  EXPECT_TRUE(ReadAll(out / "last.txt") == fixture::FromText("the last file\r\n"));
  EXPECT_EQ(FilesBelow(out), (std::set<std::string>{"big.bin", "filler.bin", "last.txt", "packed.txt"}));
  EXPECT_EQ(SavedPaths(run.out).size(), 4u);
  EXPECT_NE(run.out.find("Number of files to be saved: 4\n"), std::string::npos);

  // Without the parts: what part 1 holds, and the question answered none.
  const auto alone = dir / "alone";
  std::filesystem::create_directories(alone);
  const CliRun single = RunWith({"extract", t.parts[0].string(), "--to", alone.string(), "--flat"});
  ASSERT_EQ(single.status, kExitOk) << single.err;
  EXPECT_TRUE(ReadAll(alone / "big.bin") == Bytes(t.big.begin(), t.big.begin() + 10002));
  EXPECT_NE(single.err.find("No BKF file is selected to continue the saving process."), std::string::npos);
}

TEST(CliExtract, FileThatBeginsInAnEarlierPart) {
  TempDir dir;
  const ThreeParts t = WriteThreeParts(dir);
  const auto take = dir / "take";
  const auto skip = dir / "skip";
  std::filesystem::create_directories(take);
  std::filesystem::create_directories(skip);
  const CliRun taken = RunWith({"extract", t.parts[2].string(), "--to", take.string(), "--flat"});
  ASSERT_EQ(taken.status, kExitOk) << taken.err;
  EXPECT_TRUE(ReadAll(take / "big.bin") == Bytes(t.big.begin() + 18004, t.big.end()));
  EXPECT_NE(taken.err.find("big.binFile must have its beginning in a earlier file"), std::string::npos);

  const CliRun skipped = RunWith({"extract", t.parts[2].string(), "--to", skip.string(), "--flat", "--skip-continued"});
  ASSERT_EQ(skipped.status, kExitOk) << skipped.err;
  EXPECT_TRUE(std::filesystem::exists(skip / "big.bin"));
  EXPECT_EQ(std::filesystem::file_size(skip / "big.bin"), 0u);
  EXPECT_EQ(SavedPaths(skipped.out), std::vector<std::string>{(skip / "last.txt").string()});
  EXPECT_NE(skipped.out.find("Number of files saved: 2\n"), std::string::npos);
}

TEST(CliExtract, FailuresAreNamed) {
  TempDir dir;
  fixture::DemoBackup().WriteTo(dir / "demo.bkf");
  const std::string demo = (dir / "demo.bkf").string();

  // A destination that is not a folder (a missing one is made).
  const CliRun notFolder = RunWith({"extract", demo, "--to", demo});
  EXPECT_EQ(notFolder.status, kExitUsage);
  EXPECT_NE(notFolder.err.find("Please select valid path to save recovered files."), std::string::npos);
  EXPECT_EQ(RunWith({"extract", demo}).status, kExitUsage);
  EXPECT_EQ(RunWith({"extract", (dir / "none.bkf").string(), "--to", dir.Path().string()}).status, kExitCannotOpen);
  EXPECT_EQ(RunWith({"extract", demo, "--to", dir.Path().string(), "--next-part", (dir / "none.bkf").string()}).status,
            kExitCannotOpen);

  // A hierarchy path taken by a folder: the file cannot be created there; it
  // is named with the system's reason, the job closes normally and says so.
  const auto taken = dir / "taken";
  const auto takenFolder =
      taken / "Media created 12_10_2026 at 9_30 AM" / "SET 1 _Daily backup" / "C_" / "boot.ini";
  std::filesystem::create_directories(takenFolder);
  const CliRun tree = RunWith({"extract", demo, "--to", taken.string(), "--only", "boot.ini"});
  EXPECT_EQ(tree.status, kExitOutputFailed);
  EXPECT_NE(tree.out.find(takenFolder.string() + " File not saved: Is a directory."), std::string::npos) << tree.out;
  EXPECT_NE(tree.out.find("Number of files saved: 1\nNumber of files not saved: 1\n"), std::string::npos);
  EXPECT_NE(tree.out.find("Saving of recovered files has been completed"), std::string::npos);
  EXPECT_NE(tree.err.find("1 file(s) could not be saved; the log names them."), std::string::npos) << tree.err;

  // A link in the way is never written through: /dev/full stays untouched
  // and the file takes the numbered name beside it.
  if (std::filesystem::exists("/dev/full")) {
    const auto full = dir / "full";
    const auto target = full / "Media created 12_10_2026 at 9_30 AM" / "SET 1 _Daily backup" / "C_";
    std::filesystem::create_directories(target);
    std::filesystem::create_symlink("/dev/full", target / "boot.ini");
    const CliRun run = RunWith({"extract", demo, "--to", full.string(), "--only", "boot.ini"});
    EXPECT_EQ(run.status, kExitOk) << run.err;
    EXPECT_NE(run.out.find((target / "0boot.ini").string() + " File saved."), std::string::npos) << run.out;
    EXPECT_TRUE(std::filesystem::is_symlink(target / "boot.ini"));
  }
}

TEST(CliExtract, HostileNamesWriteNothingOutsideTheDestination) {
  TempDir dir;
  fixture::BkfWriter w;
  w.Tape(u"..");
  w.Sset(1, u"/../..");
  w.Volb(u"..");
  w.Dirb(u"..\\..\\up");
  w.File(u"..", "dots");
  w.File(u"../../../escape.txt", "slashes");
  w.File(u"\\..\\..\\back.txt", "backslashes");
  w.File(u".", "dot");
  w.File(u"/etc/passwd", "absolute");
  w.Volb(u"\\\\server\\share");
  w.Dirb(u"..");
  w.File(u"a\\..\\..\\b.txt", "mixed");
  w.Marker("ESET");
  w.WriteTo(dir / "hostile.bkf");
  const auto dest = dir / "inner" / "dest";
  for (const bool flat : {false, true}) {
    std::filesystem::remove_all(dir / "inner");
    std::filesystem::create_directories(dest);
    std::vector<std::string> args = {"extract", (dir / "hostile.bkf").string(), "--to", dest.string()};
    if (flat) args.push_back("--flat");
    const CliRun run = RunWith(args);
    ASSERT_EQ(run.status, kExitOk) << run.err;
    const auto saved = SavedPaths(run.out);
    EXPECT_EQ(saved.size(), 6u) << run.out;
    EXPECT_EQ(FilesBelow(dest).size(), 6u) << flat;
    for (const auto& path : saved) {
      const auto rel = std::filesystem::relative(std::filesystem::weakly_canonical(path), dest);
      EXPECT_FALSE(rel.empty() || *rel.begin() == "..") << path;
    }
    std::set<std::string> beside;
    for (const auto& e : std::filesystem::directory_iterator(dir / "inner")) beside.insert(e.path().filename());
    EXPECT_EQ(beside, std::set<std::string>{"dest"});
    std::set<std::string> top;
    for (const auto& e : std::filesystem::directory_iterator(dir.Path())) top.insert(e.path().filename());
    EXPECT_EQ(top, (std::set<std::string>{"hostile.bkf", "inner"}));
  }
}

}  // namespace
