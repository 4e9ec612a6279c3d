// The save job: the whole list in the hierarchy and flat with its log lines,
// files that cannot be saved, a full disk, records of one path, links in the
// destination and the numbering of taken names.
#include <gtest/gtest.h>
#include <sys/mount.h>

#include <fstream>

#include "app_state.h"
#include "save_job.h"
#include "save_target.h"
#include "test_support.h"
#include "text.h"

using namespace testing_support;
using fixture::Bytes;

namespace {

class RecordingSink : public quillon::ISaveJobSink {
 public:
  std::vector<std::string> lines;
  std::vector<uint64_t> progress;
  void LogLine(std::u16string_view line) override { lines.push_back(quillon::Utf16ToUtf8(line)); }
  void Progress(uint64_t position, uint64_t) override { progress.push_back(position); }
  bool Has(const std::string& line) const { return std::find(lines.begin(), lines.end(), line) != lines.end(); }
  std::vector<std::string> Saved() const {
    std::vector<std::string> paths;
    const std::string tail = " File saved.";
    for (const auto& l : lines)
      if (l.size() > tail.size() && l.compare(l.size() - tail.size(), tail.size(), tail) == 0)
        paths.push_back(l.substr(0, l.size() - tail.size()));
    return paths;
  }
};

class AnswerYes : public quillon::ISaveJobPrompts {
 public:
  bool ConfirmStartsEarlier(const FoundFileRecord&) override { return true; }
  NextPartAnswer RequestNextPart() override { return NextPartAnswer::None(); }
};

std::vector<quillon::SaveEntry> AllEntries(bkf& s) {
  std::vector<quillon::SaveEntry> entries;
  for (int64_t i = 0; i < s.m_files.Count(); ++i) {
    const FoundFileRecord& r = s.m_files.Record(i);
    const std::u16string folder = s.m_tree.IsValid(r.parent) ? s.m_tree.GetNodePath(r.parent) : u"";
    entries.push_back({folder + s.m_files.Name(i), quillon::ToDecimal16(r.dataLength), i});
  }
  return entries;
}

struct Job {
  RecordingSink sink;
  quillon::SaveJobResult result;
};

std::unique_ptr<Job> RunJob(bkf& s, const std::filesystem::path& to, bool hierarchy,
                         std::vector<quillon::SaveEntry> entries = {}) {
  if (entries.empty()) entries = AllEntries(s);
  auto job = std::make_unique<Job>();
  AnswerYes prompts;
  SegmentedReader reader;
  AppState().m_bProcessRunning.store(1);
  job->result = quillon::RunSaveJob(s, entries, {quillon::Utf8ToUtf16(to.string()), hierarchy}, prompts, job->sink,
                                    reader);
  return job;
}

Bytes ReadBytes(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

// One tape, set and volume with the files in the folder "Docs".
fixture::BkfWriter SmallBackup(const std::vector<std::pair<std::u16string, std::string>>& files) {
  fixture::BkfWriter w;
  w.Tape(u"Tape");
  w.Sset(1, u"Set");
  w.Volb(u"C:");
  w.Dirb(u"Docs");
  for (const auto& [name, content] : files) w.File(name, content);
  return w;
}

TEST(SaveJob, WholeListInHierarchyAndFlat) {
  TempDir dir;
  fixture::DemoBackup().WriteTo(dir / "demo.bkf");
  auto scan = ScanFile(dir / "demo.bkf");
  bkf& s = *scan->scanner;
  const auto entries = AllEntries(s);
  for (const bool hierarchy : {true, false}) {
    const auto to = dir / (hierarchy ? "tree" : "flat");
    std::filesystem::create_directories(to);
    // Typed with blanks and a final separator: the location keeps the separator, the paths have one.
    const auto job = RunJob(s, std::filesystem::path(" " + to.string() + "/ "), hierarchy);
    EXPECT_EQ(AppState().m_bProcessRunning.load(), 0);
    EXPECT_EQ(job->result.processed, entries.size());
    EXPECT_EQ(job->result.notSaved, 0u);
    EXPECT_FALSE(job->result.stopped);
    EXPECT_EQ(job->result.location, quillon::Utf8ToUtf16(to.string() + "/"));
    const auto saved = job->sink.Saved();
    ASSERT_EQ(saved.size(), entries.size());
    // Each entry: its line, the saved path, an empty line; then the closing lines.
    const auto& l = job->sink.lines;
    ASSERT_EQ(l.size(), 3 * entries.size() + 3);
    for (size_t i = 0; i < entries.size(); ++i) {
      const std::string name = ToUtf8(s.m_files.Name(entries[i].record));
      EXPECT_EQ(l[3 * i], name + " saving...                      File Size(Bytes):  " + ToUtf8(entries[i].sizeText));
      EXPECT_EQ(l[3 * i + 1], saved[i] + " File saved.");
      EXPECT_EQ(l[3 * i + 2], "");
      EXPECT_EQ(saved[i].find(to.string() + "//"), std::string::npos);
      EXPECT_TRUE(ReadBytes(saved[i]) == RecordContent(s, entries[i].record)) << saved[i];
      if (!hierarchy) {
        EXPECT_EQ(std::filesystem::path(saved[i]).parent_path(), to);
      }
    }
    EXPECT_EQ(l[l.size() - 3], "Number of files saved: " + std::to_string(entries.size()));
    EXPECT_EQ(l[l.size() - 2], "");
    EXPECT_EQ(l.back().rfind("Saving of recovered files has been completed, saving location is:  " + to.string() +
                                 "/    ",
                             0),
              0u);
    EXPECT_EQ(job->result.ClosingMessage(),
              u"File(s) saving process has been completed. Saved file(s) location is:" +
                  quillon::Utf8ToUtf16(to.string() + "/"));
  }
}

// A file that cannot be created (a folder of its name is in the way) is
// named with the system's reason and left out; the others are saved, the
// job closes normally and the message says how many were not saved.
TEST(SaveJob, FileThatCannotBeCreatedDoesNotCostTheOthers) {
  TempDir dir;
  SmallBackup({{u"a.txt", "first"}, {u"b.txt", "second"}, {u"c.txt", "third"}}).WriteTo(dir / "b.bkf");
  auto scan = ScanFile(dir / "b.bkf");
  const auto to = dir / "out";
  const auto folder = to / "Tape" / "SET 1 _Set" / "C_" / "Docs";
  std::filesystem::create_directories(folder / "b.txt");
  const auto job = RunJob(*scan->scanner, to, true);
  EXPECT_EQ(job->result.processed, 3u);
  EXPECT_EQ(job->result.notSaved, 1u);
  EXPECT_FALSE(job->result.endedEarly);
  EXPECT_EQ(AppState().m_bProcessRunning.load(), 0);
  EXPECT_TRUE(job->sink.Has((folder / "b.txt").string() + " File not saved: Is a directory.")) << job->sink.lines[4];
  EXPECT_TRUE(job->sink.Has("Number of files not saved: 1"));
  EXPECT_TRUE(ReadBytes(folder / "a.txt") == fixture::FromText("first"));
  EXPECT_TRUE(ReadBytes(folder / "c.txt") == fixture::FromText("third"));
  EXPECT_NE(job->result.ClosingMessage().find(u"\n1 file(s) could not be saved; the log names them."),
            std::u16string::npos);
  EXPECT_EQ(job->sink.lines.back().rfind("Saving of recovered files has been completed", 0), 0u);
}

// A full disk ends the job: the partly written file is removed and named,
// the job closes with its lines, the flag is cleared and the message says why.
TEST(SaveJob, FullDiskEndsTheJobCleanly) {
  TempDir dir;
  const std::string big(48 * 1024, 'x');
  SmallBackup({{u"one.bin", big}, {u"two.bin", big}, {u"three.bin", big}}).WriteTo(dir / "b.bkf");
  auto scan = ScanFile(dir / "b.bkf");
  const auto to = dir / "small";
  std::filesystem::create_directories(to);
  if (::mount("tmpfs", to.c_str(), "tmpfs", 0, "size=64k") != 0) GTEST_SKIP() << "no tmpfs can be mounted here";
  const auto job = RunJob(*scan->scanner, to, false);
  const auto saved = job->sink.Saved();
  const bool ended = job->result.endedEarly;
  const std::u16string message = job->result.ClosingMessage();
  const bool twoGone = !std::filesystem::exists(to / "two.bin");
  ::umount2(to.c_str(), MNT_DETACH);
  EXPECT_TRUE(ended);
  EXPECT_EQ(job->result.processed, 2u);
  EXPECT_EQ(job->result.notSaved, 1u);
  EXPECT_EQ(saved.size(), 1u);
  EXPECT_TRUE(twoGone);
  EXPECT_TRUE(job->sink.Has((to / "two.bin").string() +
                            " File not saved: No space left on device. The partly written file was removed."));
  EXPECT_TRUE(job->sink.Has("Saving ended early: No space left on device."));
  EXPECT_EQ(AppState().m_bProcessRunning.load(), 0);
  EXPECT_EQ(message.rfind(u"File(s) saving process has ended early: No space left on device.", 0), 0u);
  EXPECT_NE(message.find(u"1 file(s) could not be saved"), std::u16string::npos);
}

// Two records of one hierarchy path (two versions of a file): the later
// one gets the numbered name; saving again gives the same files.
TEST(SaveJob, RecordOfAPathWrittenByTheJobIsNumbered) {
  TempDir dir;
  SmallBackup({{u"x.txt", "old version"}, {u"x.txt", "new version"}, {u"x.txt", "third"}}).WriteTo(dir / "b.bkf");
  auto scan = ScanFile(dir / "b.bkf");
  const auto to = dir / "out";
  const auto folder = to / "Tape" / "SET 1 _Set" / "C_" / "Docs";
  std::filesystem::create_directories(to);
  for (int round = 0; round < 2; ++round) {
    const auto job = RunJob(*scan->scanner, to, true);
    EXPECT_EQ(job->result.notSaved, 0u);
    EXPECT_TRUE(ReadBytes(folder / "x.txt") == fixture::FromText("old version"));
    EXPECT_TRUE(ReadBytes(folder / "0x.txt") == fixture::FromText("new version"));
    EXPECT_TRUE(ReadBytes(folder / "1x.txt") == fixture::FromText("third"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 3) << round;
  }
}

// Links found in the destination are never followed: a linked file counts
// as a taken name, a linked folder as one that cannot be created. The
// destination itself may be a link.
TEST(SaveJob, LinksInTheDestinationAreNeverFollowed) {
  TempDir dir;
  SmallBackup({{u"victim.txt", "recovered"}}).WriteTo(dir / "b.bkf");
  auto scan = ScanFile(dir / "b.bkf");
  const auto elsewhere = dir / "elsewhere";
  std::filesystem::create_directories(elsewhere);
  { std::ofstream(elsewhere / "file") << "keep me"; }

  // Flat, through a destination that is itself a link.
  const auto flat = dir / "flat";
  std::filesystem::create_directories(flat);
  std::filesystem::create_symlink(elsewhere / "file", flat / "victim.txt");
  std::filesystem::create_directory_symlink(flat, dir / "flat-link");
  auto job = RunJob(*scan->scanner, dir / "flat-link", false);
  EXPECT_TRUE(ReadBytes(flat / "0victim.txt") == fixture::FromText("recovered"));

  // Hierarchy: a link as the file, then a linked folder on the way.
  const auto tree = dir / "tree";
  const auto folder = tree / "Tape" / "SET 1 _Set" / "C_" / "Docs";
  std::filesystem::create_directories(folder);
  std::filesystem::create_symlink(elsewhere / "file", folder / "victim.txt");
  job = RunJob(*scan->scanner, tree, true);
  EXPECT_TRUE(ReadBytes(folder / "0victim.txt") == fixture::FromText("recovered"));
  std::filesystem::remove_all(tree / "Tape");
  std::filesystem::create_directories(tree / "Tape");
  std::filesystem::create_directory_symlink(elsewhere, tree / "Tape" / "SET 1 _Set");
  job = RunJob(*scan->scanner, tree, true);
  EXPECT_EQ(job->result.notSaved, 0u);
  EXPECT_TRUE(ReadBytes(tree / "victim.txt") == fixture::FromText("recovered"));

  EXPECT_TRUE(ReadBytes(elsewhere / "file") == fixture::FromText("keep me"));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(elsewhere), {}), 1);
}

// Stop while the third of ten files is written: it stays partly written and
// is logged as saved, the count says 3, the job closes as always.
TEST(SaveJob, StopDuringTheThirdOfTenFiles) {
  TempDir dir;
  const std::string content(1024 * 1024 + 4096, 'y');
  std::vector<std::pair<std::u16string, std::string>> files;
  for (int i = 0; i < 10; ++i) files.push_back({u"f" + quillon::ToDecimal16(uint64_t(i)) + u".bin", content});
  SmallBackup(files).WriteTo(dir / "b.bkf");
  auto scan = ScanFile(dir / "b.bkf");
  struct StopInThird : AnswerYes {
    int files = 0;
    void FileStarting(const quillon::SaveEntry&) override { ++files; }
    void PieceWritten(uint64_t) override {
      if (files == 3) AppState().m_bProcessRunning.store(0);
    }
  } prompts;
  RecordingSink sink;
  SegmentedReader reader;
  AppState().m_bProcessRunning.store(1);
  const auto to = dir / "out";
  std::filesystem::create_directories(to);
  const auto result = quillon::RunSaveJob(*scan->scanner, AllEntries(*scan->scanner),
                                          {quillon::Utf8ToUtf16(to.string()), false}, prompts, sink, reader);
  EXPECT_TRUE(result.stopped);
  EXPECT_EQ(result.processed, 3u);
  EXPECT_EQ(sink.Saved().size(), 3u);
  EXPECT_EQ(std::filesystem::file_size(to / "f2.bin"), 1024u * 1024u);
  EXPECT_FALSE(std::filesystem::exists(to / "f3.bin"));
  EXPECT_TRUE(sink.Has("Number of files saved: 3"));
  EXPECT_EQ(result.ClosingMessage(),
            u"File(s) saving process has been completed. Saved file(s) location is:" + quillon::Utf8ToUtf16(to.string()));
  EXPECT_EQ(reader.PartCount(), 0u);
}

// Taken names are numbered as before ("a.txt", "0a.txt", "1a.txt"), and the
// n-th duplicate costs a fixed number of existence tests, not n.
TEST(SaveTarget, NumberingStaysLinear) {
  TempDir dir;
  CTarvelBKFTreeVectorClass tree;
  FoundFileRecord record = NewFoundFileRecord();
  quillon::SaveTarget target(quillon::Utf8ToUtf16(dir.Path().string()));
  ASSERT_TRUE(target.Open());
  const int kCopies = 1000;
  std::vector<std::string> names;
  for (int i = 0; i < kCopies; ++i) {
    quillon::OutputSlot slot = target.Create(tree, record, u"desktop.ini", false);
    ASSERT_GE(slot.fd, 0);
    ::close(slot.fd);
    if (i < 3) names.push_back(slot.path.filename().string());
  }
  EXPECT_EQ(names, (std::vector<std::string>{"desktop.ini", "0desktop.ini", "1desktop.ini"}));
  EXPECT_LE(target.NameTests(), uint64_t(2 * kCopies));
}

}  // namespace
