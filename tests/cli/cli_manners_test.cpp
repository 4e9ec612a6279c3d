// quillon-cli as a new user and a script meet it: statuses and texts of
// usage errors, unreadable and empty inputs, the --to folder made on demand,
// names shown without their control characters, the nested JSON tree and a
// scan stopped by Ctrl-C.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <algorithm>
#include <cstdio>
#include <fstream>

#include "cli.h"
#include "cli_run.h"
#include "terminal_text.h"
#include "test_support.h"

using namespace testing_support;

namespace {

constexpr char kTry[] = "Try 'quillon-cli --help'.\n";

TEST(CliManners, StatusesAndTexts) {
  TempDir dir;
  fixture::DemoBackup().WriteTo(dir / "demo.bkf");
  const std::string demo = (dir / "demo.bkf").string();
  fixture::WriteFile(dir / "empty.bkf", fixture::Bytes{});
  fixture::WriteFile(dir / "notes.bkf", fixture::FromText(std::string(5000, 'x') + "not a backup at all"));
  std::filesystem::create_directories(dir / "folder.bkf");
  ASSERT_EQ(::mkfifo((dir / "pipe.bkf").c_str(), 0600), 0);
  fixture::WriteFile(dir / "locked.bkf", fixture::FromText("TAPE"));
  std::filesystem::permissions(dir / "locked.bkf", std::filesystem::perms::none);
  const bool root = ::geteuid() == 0;  // root reads a file without permissions

  struct Case {
    std::vector<std::string> args;
    int status;
    std::string err;  // the whole of stderr when it ends with kTry, else a part of it
    std::string out;  // a part of stdout
  };
  const std::vector<Case> cases = {
      {{}, kExitUsage, std::string("quillon-cli: no command given\n") + kTry, ""},
      {{"frobnicate"}, kExitUsage, std::string("quillon-cli: unknown command 'frobnicate'\n") + kTry, ""},
      {{"scan"}, kExitUsage, std::string("quillon-cli: no BKF file given\n") + kTry, ""},
      {{"scan", "--bogus", demo}, kExitUsage, std::string("quillon-cli: unknown option '--bogus'\n") + kTry, ""},
      {{"scan", "--range", "5", demo}, kExitUsage, std::string("quillon-cli: ") + kRangeProblem + "\n" + kTry, ""},
      {{"scan", "--range", "2048:1024", demo}, kExitUsage, std::string("quillon-cli: ") + kRangeProblem + "\n" + kTry, ""},
      {{"scan", "--range", "1024:1024", demo}, kExitUsage, std::string("quillon-cli: ") + kRangeProblem + "\n" + kTry, ""},
      {{"extract", demo, "--range", "9:3", "--to", "x"}, kExitUsage, std::string("quillon-cli: ") + kRangeProblem + "\n" + kTry, ""},
      {{"extract", demo}, kExitUsage, std::string("quillon-cli: --to DIR is needed\n") + kTry, ""},
      {{"scan", "--json", "--json-tree", demo}, kExitUsage,
       std::string("quillon-cli: --json and --json-tree exclude each other\n") + kTry, ""},
      {{"--version"}, kExitOk, "", "quillon-cli (Corvane Quillon Repair v22.0)\n"},
      {{"--help"}, kExitOk, "", "--json-tree"},
      {{"scan", (dir / "gone.bkf").string()}, kExitCannotOpen,
       "the file '" + (dir / "gone.bkf").string() + "' cannot be opened: No such file or directory\n", ""},
      {{"scan", (dir / "folder.bkf").string()}, kExitCannotOpen, "cannot be opened: Is a directory\n", ""},
      {{"scan", (dir / "pipe.bkf").string()}, kExitCannotOpen, "cannot be opened: Not a regular file\n", ""},
      {{"scan", (dir / "empty.bkf").string()}, kExitCannotOpen,
       "quillon-cli: no backup blocks found in '" + (dir / "empty.bkf").string() + "'\n", ""},
      {{"scan", "--json", (dir / "notes.bkf").string()}, kExitCannotOpen, "no backup blocks found in", ""},
      {{"extract", (dir / "notes.bkf").string(), "--to", dir.Path().string()}, kExitCannotOpen,
       "no backup blocks found in", ""},
      {{"extract", demo, "--to", dir.Path().string(), "--next-part", (dir / "folder.bkf").string()}, kExitCannotOpen,
       "the next part '" + (dir / "folder.bkf").string() + "' cannot be opened: Is a directory\n", ""},
      {{"scan", demo}, kExitOk, "", "Total number of files found: 9\n"},
  };
  std::vector<Case> all = cases;
  if (!root)
    all.push_back({{"scan", (dir / "locked.bkf").string()}, kExitCannotOpen, "cannot be opened: Permission denied\n", ""});
  for (const Case& c : all) {
    std::string shown;
    for (const auto& a : c.args) shown += a + " ";
    SCOPED_TRACE(shown);
    const CliRun r = RunWith(c.args);
    EXPECT_EQ(r.status, c.status);
    const bool whole = c.err.size() >= sizeof kTry - 1 && c.err.ends_with(kTry);
    if (whole) {
      EXPECT_EQ(r.err, c.err);
    } else {
      EXPECT_NE(r.err.find(c.err), std::string::npos) << r.err;
    }
    EXPECT_NE(r.out.find(c.out), std::string::npos) << r.out;
    if (c.status == kExitCannotOpen && c.args[0] == "scan") {
      EXPECT_EQ(r.out, "");
    }
  }
  std::filesystem::permissions(dir / "locked.bkf", std::filesystem::perms::owner_all);
}

TEST(CliManners, ExtractMakesTheFolderItIsGiven) {
  TempDir dir;
  fixture::DemoBackup().WriteTo(dir / "demo.bkf");
  const std::string demo = (dir / "demo.bkf").string();

  const auto fresh = dir / "new" / "deeper";
  const CliRun made = RunWith({"extract", demo, "--to", fresh.string(), "--flat"});
  ASSERT_EQ(made.status, kExitOk) << made.err;
  EXPECT_TRUE(std::filesystem::is_regular_file(fresh / "report.txt"));

  // A file stands where a folder of the path should be.
  fixture::WriteFile(dir / "plain", fixture::FromText("x"));
  const CliRun under = RunWith({"extract", demo, "--to", (dir / "plain" / "out").string()});
  EXPECT_EQ(under.status, kExitOutputFailed);
  EXPECT_NE(under.err.find("quillon-cli: the folder '" + (dir / "plain" / "out").string() + "' cannot be created: "),
            std::string::npos)
      << under.err;
  // A backup that cannot be opened makes no folder.
  const CliRun missing = RunWith({"extract", (dir / "gone.bkf").string(), "--to", (dir / "unmade").string()});
  EXPECT_EQ(missing.status, kExitCannotOpen);
  EXPECT_NE(missing.err.find("cannot be opened: No such file or directory"), std::string::npos) << missing.err;
  EXPECT_FALSE(std::filesystem::exists(dir / "unmade"));
  // The destination itself is a file: not a folder to save into.
  const CliRun file = RunWith({"extract", demo, "--to", (dir / "plain").string()});
  EXPECT_EQ(file.status, kExitUsage);
  EXPECT_NE(file.err.find("Please select valid path to save recovered files."), std::string::npos);
}

TEST(CliManners, ControlCharactersInNamesAreShownNotSent) {
  EXPECT_EQ(TerminalText("plain name.txt"), "plain name.txt");
  EXPECT_EQ(TerminalText("a\x1b[2Jb\a\r\n\t\x7f"), "a\\x1b[2Jb\\x07\\x0d\\x0a\\x09\\x7f");
  EXPECT_EQ(TerminalText("\xC2\x9B" "31m \xC3\xA9\xE2\x82\xAC"), "\\x9b31m \xC3\xA9\xE2\x82\xAC");  // C1 CSI; é and €
  EXPECT_EQ(TerminalText("\xFF\xC3"), "\\xff\\xc3");

  TempDir dir;
  fixture::BkfWriter w;
  w.Volb(u"C:");
  w.File(u"evil\x1b]0;owned\a\r\nTotal number of files found: 0\x9b.txt", "12345");
  fixture::WriteFile(dir / "t.bkf", w.Data());
  const CliRun text = RunWith({"scan", (dir / "t.bkf").string()});
  ASSERT_EQ(text.status, kExitOk) << text.err;
  EXPECT_NE(text.out.find("- evil\\x1b]0;owned\\x07\\x0d\\x0aTotal number of files found: 0\\x9b.txt  5 bytes\n"),
            std::string::npos)
      << text.out;
  for (char c : std::string("\x1b\a\r")) EXPECT_EQ(text.out.find(c), std::string::npos);

  const CliRun json = RunWith({"scan", "--json", (dir / "t.bkf").string()});
  EXPECT_NE(json.out.find("evil\\u001b]0;owned\\u0007\\r\\nTotal"), std::string::npos) << json.out;

  const CliRun saved = RunWith({"extract", (dir / "t.bkf").string(), "--to", (dir / "out").string(), "--flat"});
  ASSERT_EQ(saved.status, kExitOk) << saved.err;
  for (char c : std::string("\x1b\a\r")) {
    EXPECT_EQ(saved.out.find(c), std::string::npos);
    EXPECT_EQ(saved.err.find(c), std::string::npos);
  }
  EXPECT_NE(saved.out.find("evil\\x1b]0;owned"), std::string::npos) << saved.out;
}

TEST(CliManners, JsonTreeNestsFoldersWithTheirChildrenAndFiles) {
  TempDir dir;
  fixture::BkfWriter w;
  w.Volb(u"C:");
  w.File(u"a.txt", "12345");
  fixture::WriteFile(dir / "t.bkf", w.Data());
  const CliRun r = RunWith({"scan", "--json-tree", (dir / "t.bkf").string()});
  ASSERT_EQ(r.status, kExitOk) << r.err;
  EXPECT_EQ(r.out,
            "{\"filesFound\": 1, \"tree\": "
            "{\"index\": 0, \"name\": \"ROOT\", \"files\": [], \"children\": ["
            "{\"index\": 1, \"name\": \"TAPE CREATED \", \"files\": [], \"children\": ["
            "{\"index\": 2, \"name\": \"SET CREATED \", \"files\": [], \"children\": ["
            "{\"index\": 3, \"name\": \"C:\", \"files\": ["
            "{\"index\": 0, \"name\": \"a.txt\", \"dataPosition\": 1146, \"dataLength\": 5}], \"children\": []}"
            "]}]}]}}\n");

  // Sub-folders in the order of the text tree (newest first), every file once.
  fixture::DemoBackup().WriteTo(dir / "demo.bkf");
  const CliRun nested = RunWith({"scan", "--json-tree", (dir / "demo.bkf").string()});
  const CliRun text = RunWith({"scan", (dir / "demo.bkf").string()});
  ASSERT_EQ(nested.status, kExitOk);
  std::vector<std::string> textNames, jsonNames;
  for (size_t at = 0; (at = text.out.find('\n', at)) != std::string::npos && at + 1 < text.out.size(); ++at) {
    const size_t start = text.out.find_first_not_of(' ', at + 1);
    const size_t end = text.out.find("  (", start);
    if (text.out.compare(start, 2, "- ") != 0 && end != std::string::npos && end < text.out.find('\n', start))
      textNames.push_back(text.out.substr(start, end - start));
  }
  for (size_t at = 0; (at = nested.out.find("\"name\": \"", at)) != std::string::npos; ++at) {
    const size_t start = at + 9;
    const std::string name = nested.out.substr(start, nested.out.find('"', start) - start);
    if (nested.out.compare(nested.out.find('"', start), 13, "\", \"files\": [") == 0) jsonNames.push_back(name);
  }
  ASSERT_FALSE(textNames.empty());
  EXPECT_EQ(std::vector<std::string>(jsonNames.begin() + 1, jsonNames.end()), textNames);
  EXPECT_EQ(std::count(nested.out.begin(), nested.out.end(), '{'),
            std::count(nested.out.begin(), nested.out.end(), '}'));
}

// Ctrl-C during a scan: the real program, a long (sparse) file, SIGINT once
// the program has the file open.
TEST(CliManners, ScanStoppedByInterruptExits130) {
  TempDir dir;
  const auto big = dir / "big.bkf";
  {
    fixture::BkfWriter w;
    w.Volb(u"C:");
    w.File(u"first.txt", "1");
    fixture::WriteFile(big, w.Data());
  }
  std::filesystem::resize_file(big, uint64_t(64) << 30);
  const std::string errPath = (dir / "err.txt").string();
  const pid_t pid = ::fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    std::freopen("/dev/null", "w", stdout);
    std::freopen(errPath.c_str(), "w", stderr);
    ::execl(QUILLON_CLI_EXE, "quillon-cli", "scan", big.c_str(), static_cast<char*>(nullptr));
    ::_exit(127);
  }
  // Waits until the program holds the backup open (its Ctrl-C handler is in place by then).
  const std::filesystem::path fds = "/proc/" + std::to_string(pid) + "/fd";
  bool open = false;
  for (int tries = 0; tries < 200000 && !open; ++tries) {
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(fds, ec)) {
      std::error_code link;
      if (std::filesystem::read_symlink(e.path(), link) == big) open = true;
    }
    if (!open) ::usleep(1000);
  }
  ::kill(pid, SIGINT);
  int status = 0;
  ASSERT_EQ(::waitpid(pid, &status, 0), pid);
  ASSERT_TRUE(open);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), kExitStopped);
  std::ifstream in(errPath);
  const std::string err((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_NE(err.find("Scan stopped; showing what was found so far."), std::string::npos) << err;
}

}  // namespace
