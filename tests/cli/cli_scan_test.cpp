// quillon-cli scan: its output formats and exit statuses.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "cli.h"
#include "cli_run.h"
#include "test_support.h"

using namespace testing_support;

TEST(CliScan, JsonListsNodesAndFilesInListOrder) {
  TempDir dir;
  fixture::BkfWriter w;
  w.Volb(u"C:");
  w.File(u"a\"b\\c\xD800.txt", "12345");  // a quote, a backslash and an unpaired surrogate
  fixture::WriteFile(dir / "t.bkf", w.Data());
  const CliRun r = RunWith({"scan", "--json", (dir / "t.bkf").string()});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out,
            "{\"filesFound\": 1, \"nodes\": ["
            "{\"index\": 0, \"name\": \"ROOT\", \"parent\": -1, \"firstChild\": 1, \"nextSibling\": -1, "
            "\"firstFile\": -1, \"lastFile\": -1}, "
            "{\"index\": 1, \"name\": \"TAPE CREATED \", \"parent\": 0, \"firstChild\": 2, \"nextSibling\": -1, "
            "\"firstFile\": -1, \"lastFile\": -1}, "
            "{\"index\": 2, \"name\": \"SET CREATED \", \"parent\": 1, \"firstChild\": 3, \"nextSibling\": -1, "
            "\"firstFile\": -1, \"lastFile\": -1}, "
            "{\"index\": 3, \"name\": \"C:\", \"parent\": 2, \"firstChild\": -1, \"nextSibling\": -1, "
            "\"firstFile\": 0, \"lastFile\": 0}], "
            "\"files\": [{\"index\": 0, \"name\": \"a\\\"b\\\\c\xEF\xBF\xBD.txt\", \"nameBytes\": 20, "
            "\"parent\": 3, \"dataPosition\": 1154, \"dataLength\": 5}]}\n");
}

TEST(CliScan, TextTreeShowsFoldersWithCountsAndFilesWithSizes) {
  TempDir dir;
  fixture::DemoBackup().WriteTo(dir / "demo.bkf");
  const CliRun r = RunWith({"scan", (dir / "demo.bkf").string()});
  ASSERT_EQ(r.status, 0);
  EXPECT_NE(r.out.find("\n      C:  (1 file)\n"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("\n          - report.txt  "), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("Total number of files found: 9\n"), std::string::npos);
}

TEST(CliScan, RangeLimitsTheScan) {
  TempDir dir;
  fixture::BkfWriter w;
  w.File(u"first.txt", "1");
  w.File(u"second.txt", "2");
  fixture::WriteFile(dir / "t.bkf", w.Data());
  const CliRun r = RunWith({"scan", "--json", "--range", "1024:2048", (dir / "t.bkf").string()});
  ASSERT_EQ(r.status, 0);
  EXPECT_EQ(r.out.find("first.txt"), std::string::npos);
  EXPECT_NE(r.out.find("second.txt"), std::string::npos);
}

TEST(CliScan, ExitStatusesAndMessages) {
  const CliRun missing = RunWith({"scan", "/no/such/backup.bkf"});
  EXPECT_EQ(missing.status, kExitCannotOpen);
  EXPECT_NE(missing.err.find("/no/such/backup.bkf"), std::string::npos);
  for (const auto& args : std::vector<std::vector<std::string>>{
           {}, {"scan"}, {"scan", "--range", "5", "x.bkf"}, {"scan", "--bogus", "x.bkf"}, {"frobnicate"}}) {
    const CliRun r = RunWith(args);
    EXPECT_EQ(r.status, kExitUsage);
    // One line that says what is wrong, then where help is; not the whole help.
    EXPECT_EQ(r.err.find("usage:"), std::string::npos);
    EXPECT_EQ(r.err.rfind("quillon-cli: ", 0), 0u) << r.err;
    EXPECT_TRUE(r.err.ends_with("\nTry 'quillon-cli --help'.\n")) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 2);
  }
  const CliRun help = RunWith({"--help"});
  EXPECT_EQ(help.status, kExitOk);
  EXPECT_NE(help.out.find("quillon-cli scan"), std::string::npos);
}

TEST(CliScan, RangeTextMustBeTwoNumbers) {
  EXPECT_FALSE(ParseRange("12"));
  EXPECT_FALSE(ParseRange(":12"));
  EXPECT_FALSE(ParseRange("a:12"));
  EXPECT_FALSE(ParseRange("99999999999999999999:1"));
  EXPECT_FALSE(ParseRange("200:100"));  // the end must lie after the start
  EXPECT_FALSE(ParseRange("7:7"));
  const auto r = ParseRange("0100:200");
  ASSERT_TRUE(r);
  EXPECT_EQ(r->min, 100u);
  EXPECT_EQ(r->max, 200u);
}

TEST(CliScan, AdvancedModeGivesTheRealBackupsTree) {
  const CliRun standard = RunWith({"scan", "--json", TestData("ntbackup-boot-ini.bkf").string()});
  const CliRun advanced = RunWith({"scan", "--advanced", "--json", TestData("ntbackup-boot-ini.bkf").string()});
  ASSERT_EQ(advanced.status, 0);
  EXPECT_EQ(advanced.out, standard.out);
  EXPECT_NE(advanced.out.find("\"name\": \"boot.ini\", \"nameBytes\": 16"), std::string::npos) << advanced.out;
  EXPECT_NE(advanced.out.find("\"dataLength\": 210}"), std::string::npos);
}

TEST(CliScan, SnapshotsAreSavedAndPrintedWithoutScanning) {
  TempDir dir;
  fixture::DemoBackup().WriteTo(dir / "demo.bkf");
  const std::string snap = (dir / "demo.QUILLONMOSSEL").string();
  const CliRun scanned = RunWith({"scan", "--json", "--save-snapshot", snap, (dir / "demo.bkf").string()});
  ASSERT_EQ(scanned.status, 0) << scanned.err;
  const CliRun restored = RunWith({"scan", "--snapshot", snap, "--json"});
  ASSERT_EQ(restored.status, 0) << restored.err;
  // The counter is not stored; the lists are.
  EXPECT_EQ(restored.out.substr(restored.out.find("\"nodes\"")), scanned.out.substr(scanned.out.find("\"nodes\"")));

  std::filesystem::rename(dir / "demo.bkf", dir / "elsewhere.bkf");
  const CliRun moved = RunWith({"scan", "--snapshot", snap});
  EXPECT_EQ(moved.status, kExitCannotOpen);
  EXPECT_EQ(moved.err, "file cannot opened.\nSnapshot loading process aborted.\n");

  fixture::WriteFile(dir / "junk.QUILLONMOSSEL", fixture::FromText("not a snapshot"));
  const CliRun junk = RunWith({"scan", "--snapshot", (dir / "junk.QUILLONMOSSEL").string()});
  EXPECT_EQ(junk.status, kExitCannotOpen);
  EXPECT_EQ(junk.err, "Snapshot loading process aborted.\n");
  EXPECT_EQ(RunWith({"scan", "--snapshot", snap, "x.bkf"}).status, kExitUsage);
}

TEST(CliScan, ARecordWhoseLengthWasCutIsReportedAsPossiblyIncomplete) {
  TempDir dir;
  fixture::BkfWriter w;
  w.Volb(u"C:");
  w.File(u"whole.txt", "whole");
  w.File(u"cut.txt", std::string(5000, 'c'));
  w.Truncate(w.Size() - 3000);  // the backup ends inside cut.txt's data
  fixture::WriteFile(dir / "t.bkf", w.Data());
  for (const char* mode : {"--json", "--advanced"}) {
    const CliRun r = RunWith({"scan", mode, (dir / "t.bkf").string()});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("Possibly incomplete"), std::string::npos) << mode << r.err;
    EXPECT_NE(r.err.find("cut.txt"), std::string::npos) << mode << r.err;
    EXPECT_EQ(r.err.find("whole.txt"), std::string::npos) << mode << r.err;
  }
}
