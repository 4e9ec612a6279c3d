// quillon-cli search and extract --pattern: the rows of the window's search,
// and snapshot files that are pipes refused at once.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <sstream>

#include "cli.h"
#include "cli_run.h"
#include "demo_backup.h"
#include "file_search.h"
#include "test_support.h"
#include "text.h"

using namespace testing_support;

namespace {

std::vector<std::string> Column(const std::string& out, size_t column) {
  std::vector<std::string> values;
  std::istringstream lines(out);
  for (std::string line; std::getline(lines, line);) {
    if (line.rfind("Total No. of files : ", 0) == 0) continue;
    std::istringstream fields(line);
    std::string field;
    for (size_t i = 0; i <= column && std::getline(fields, field, '\t'); ++i) {
    }
    values.push_back(field);
  }
  return values;
}

TEST(CliSearch, ListsTheRowsOfTheWindowsSearch) {
  TempDir dir;
  const std::string demo = (dir / "demo.bkf").string();
  fixture::DemoBackup().WriteTo(demo);
  std::unique_ptr<ScanOutcome> scan = ScanFile(demo);
  for (const char* pattern : {"*.*", "txt", "  letter ", "*.XYZ", "?oot.ini"}) {
    const CliRun run = RunWith({"search", pattern, demo});
    ASSERT_EQ(run.status, kExitOk) << run.err;
    std::vector<std::string> expected;
    for (int64_t record : quillon::FindMatchingFiles(*scan->scanner, quillon::Utf8ToUtf16(pattern)))
      expected.push_back(quillon::Utf16ToUtf8(quillon::SearchRowText(*scan->scanner, record)));
    EXPECT_EQ(Column(run.out, 0), expected) << pattern;
    EXPECT_NE(run.out.find("Total No. of files : " + std::to_string(expected.size()) + "\n"), std::string::npos);
  }
  const CliRun rows = RunWith({"search", "letter-to-bank", demo});
  EXPECT_EQ(Column(rows.out, 1), std::vector<std::string>{"plain text document"});
  EXPECT_EQ(Column(rows.out, 2), std::vector<std::string>{"327"});

  const CliRun json = RunWith({"search", "letter", demo, "--json"});
  ASSERT_EQ(json.status, kExitOk);
  EXPECT_NE(json.out.find("\"pattern\": \"*letter*\", \"count\": 2,"), std::string::npos) << json.out;
  EXPECT_NE(json.out.find("\"size\": 327"), std::string::npos);

  EXPECT_EQ(RunWith({"search", "   ", demo}).status, kExitUsage);
  EXPECT_EQ(RunWith({"search", "x"}).status, kExitUsage);
}

TEST(CliSearch, SnapshotAndExtractPatternGoThroughTheSameSearch) {
  TempDir dir;
  const std::string demo = (dir / "demo.bkf").string();
  const std::string snap = (dir / "demo.QUILLONMOSSEL").string();
  fixture::DemoBackup().WriteTo(demo);
  ASSERT_EQ(RunWith({"scan", "--save-snapshot", snap, demo}).status, kExitOk);
  const CliRun fromScan = RunWith({"search", "txt", demo});
  const CliRun fromSnapshot = RunWith({"search", "txt", "--snapshot", snap});
  ASSERT_EQ(fromSnapshot.status, kExitOk) << fromSnapshot.err;
  EXPECT_EQ(fromSnapshot.out, fromScan.out);

  std::filesystem::create_directories(dir / "out");
  const CliRun saved = RunWith({"extract", "--snapshot", snap, "--to", (dir / "out").string(), "--flat", "--pattern", "txt"});
  ASSERT_EQ(saved.status, kExitOk) << saved.err;
  size_t files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir / "out")) {
    ++files;
    EXPECT_NE(entry.path().filename().string().find("txt"), std::string::npos);
  }
  EXPECT_EQ(files, Column(fromScan.out, 0).size());
}

TEST(CliSnapshot, PipesAreRefusedWithoutWaiting) {
  TempDir dir;
  const std::string demo = (dir / "demo.bkf").string();
  fixture::DemoBackup().WriteTo(demo);
  const auto fifo = dir / "pipe.QUILLONMOSSEL";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const CliRun load = RunWith({"scan", "--snapshot", fifo.string()});
  EXPECT_EQ(load.status, kExitCannotOpen);
  EXPECT_NE(load.err.find("Snapshot loading process aborted."), std::string::npos);
  const CliRun save = RunWith({"scan", "--save-snapshot", fifo.string(), demo});
  EXPECT_EQ(save.status, kExitCannotOpen);
  EXPECT_NE(save.err.find("cannot be written: it is not a regular file."), std::string::npos) << save.err;
  const CliRun search = RunWith({"search", "x", "--snapshot", fifo.string()});
  EXPECT_EQ(search.status, kExitCannotOpen);
}

}  // namespace
