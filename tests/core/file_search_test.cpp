// The search of found files (the window's and the command line's), the
// non-blocking open of regular files, and snapshot write failures named.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <unistd.h>

#include <chrono>
#include <fstream>

#include "file_search.h"
#include "regular_file.h"
#include "scanner.h"
#include "snapshot.h"
#include "test_support.h"
#include "text.h"

using namespace testing_support;

namespace {

// ROOT > Media > SET > C: > {Docs, Old}, with the names the pattern table needs
// and report.doc in both folders.
std::unique_ptr<bkf> NamedResult() {
  auto s = std::make_unique<bkf>();
  CTarvelBKFTreeVectorClass& tree = s->m_tree;
  const int64_t volume = tree.AddNode(u"C:", tree.AddNode(u"SET 1 :Daily", tree.AddNode(u"Media 1", 0)));
  const int64_t docs = tree.AddNode(u"Docs", volume);
  const int64_t old = tree.AddNode(u"Old", volume);
  auto add = [&](int64_t parent, std::u16string name) {
    FoundFileRecord r = NewFoundFileRecord();
    r.parent = parent;
    r.kind = kFileKind;
    r.index = s->m_files.Count();
    r.dataPosition = 1024;
    r.dataLength = 10 + uint64_t(r.index);
    s->m_files.Append(r, std::move(name));
  };
  for (const char16_t* name : {u"report.doc", u"myreport.txt", u"Report.doc", u"a.doc", u"a.docx", u"ab.doc", u"README"})
    add(docs, name);
  add(old, u"report.doc");
  return s;
}

std::vector<std::u16string> Rows(bkf& s, std::u16string_view typed) {
  std::vector<std::u16string> rows;
  for (int64_t record : quillon::FindMatchingFiles(s, typed)) rows.push_back(quillon::SearchRowText(s, record));
  return rows;
}

constexpr char16_t kDocs[] = u"Media 1\\SET 1 :Daily\\C:\\Docs\\";
constexpr char16_t kOld[] = u"Media 1\\SET 1 :Daily\\C:\\Old\\";

TEST(FileSearch, PatternTable) {
  auto s = NamedResult();
  const std::u16string d = kDocs, o = kOld;
  struct Case {
    std::u16string typed;
    std::vector<std::u16string> rows;
  };
  const std::vector<Case> cases = {
      // A plain text matches any name containing it; case matters.
      {u"report", {d + u"report.doc", d + u"myreport.txt", o + u"report.doc"}},
      {u"  report  ", {d + u"report.doc", d + u"myreport.txt", o + u"report.doc"}},
      {u"*.doc", {d + u"report.doc", d + u"Report.doc", d + u"a.doc", d + u"ab.doc", o + u"report.doc"}},
      // No "*": "?.doc" becomes "*?.doc*", any name with a unit before ".doc".
      {u"?.doc", {d + u"report.doc", d + u"Report.doc", d + u"a.doc", d + u"a.docx", d + u"ab.doc", o + u"report.doc"}},
      {u"*?.doc", {d + u"report.doc", d + u"Report.doc", d + u"a.doc", d + u"ab.doc", o + u"report.doc"}},
      {u"?.doc*", {d + u"a.doc", d + u"a.docx"}},
      {u"*.*", {d + u"report.doc", d + u"myreport.txt", d + u"Report.doc", d + u"a.doc", d + u"a.docx",
                d + u"ab.doc", o + u"report.doc"}},
      {u"Report", {d + u"Report.doc"}},
      {u"nothing-like-this", {}},
      {u"   ", {}},
      {u"", {}},
  };
  for (const Case& c : cases) EXPECT_EQ(Rows(*s, c.typed), c.rows) << quillon::Utf16ToUtf8(c.typed);
}

TEST(FileSearch, StopsWhenTheRunningFlagDrops) {
  auto s = NamedResult();
  struct StopAtThird : quillon::IFileSearchSink {
    ApplicationState* state = nullptr;
    std::vector<int64_t> found;
    void OnMatch(int64_t record) override { found.push_back(record); }
    void OnProgress(int64_t k) override {
      if (k == 2) state->m_bProcessRunning.store(0);
    }
  } sink;
  ApplicationState state;
  sink.state = &state;
  state.m_bProcessRunning.store(1);
  EXPECT_FALSE(quillon::SearchFoundFiles(*s, u"*", sink, state));
  EXPECT_EQ(sink.found, (std::vector<int64_t>{0, 1, 2}));
  // Without the flag nothing is searched.
  sink.found.clear();
  EXPECT_FALSE(quillon::SearchFoundFiles(*s, u"*", sink, state));
  EXPECT_TRUE(sink.found.empty());
}

TEST(RegularFile, PipesFoldersAndMissingFilesAreRefusedAtOnce) {
  TempDir dir;
  const auto fifo = dir / "pipe.QUILLONMOSSEL";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const auto started = std::chrono::steady_clock::now();
  const quillon::RegularFileOpen read = quillon::OpenRegularFileForRead(fifo);
  const quillon::RegularFileOpen write = quillon::CreateRegularFile(fifo);
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(2));
  EXPECT_FALSE(read.Ok());
  EXPECT_TRUE(read.notRegular);
  EXPECT_FALSE(write.Ok());
  EXPECT_EQ(write.Reason(), "it is not a regular file");
  EXPECT_EQ(quillon::CreateRegularFile(dir.Path()).Reason(), "it is a folder");
  const quillon::RegularFileOpen missing = quillon::OpenRegularFileForRead(dir / "none");
  EXPECT_FALSE(missing.Ok());
  EXPECT_EQ(missing.Reason(), "No such file or directory");
  EXPECT_EQ(quillon::CreateRegularFile(dir / "no-folder" / "x").Reason(), "No such file or directory");
}

TEST(RegularFile, CreateEmptiesAnExistingFileAndWritesBlock) {
  TempDir dir;
  const auto path = dir / "kept.bin";
  std::ofstream(path, std::ios::binary) << std::string(100, '7');
  quillon::RegularFileOpen created = quillon::CreateRegularFile(path);
  ASSERT_TRUE(created.Ok());
  EXPECT_EQ(::write(created.fd, "abc", 3), 3);
  ::close(created.fd);
  EXPECT_EQ(ReadAll(path), (fixture::Bytes{'a', 'b', 'c'}));
}

TEST(SnapshotWrite, FailuresNameTheSystemsReason) {
  TempDir dir;
  auto s = NamedResult();
  AppState().m_bProcessRunning.store(1);
  const SnapshotWriteResult noFolder = WriteSnapshot(*s, u"C:\\a.bkf", dir / "missing" / "s.QUILLONMOSSEL");
  EXPECT_FALSE(noFolder.ok);
  EXPECT_EQ(noFolder.reason, "No such file or directory");

  // A file limit stands in for a full disk: the writes fail part way.
  const auto path = dir / "cut.QUILLONMOSSEL";
  struct rlimit old {};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
  const auto oldHandler = signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = old;
  small.rlim_cur = 200;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  const SnapshotWriteResult full = WriteSnapshot(*s, u"C:\\a.bkf", path);
  setrlimit(RLIMIT_FSIZE, &old);
  signal(SIGXFSZ, oldHandler);
  AppState().m_bProcessRunning.store(0);
  EXPECT_FALSE(full.ok);
  EXPECT_EQ(full.reason, "File too large");
  // What was written stays.
  EXPECT_EQ(ReadAll(path).size(), 200u);
}

}  // namespace
