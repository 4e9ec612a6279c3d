// Healthy backups the plain window walk would lose files from: tags across a
// window's end, block letters in file content, streams beyond the first KiB,
// and folders resolved under the wrong node.
#include <gtest/gtest.h>

#include "test_support.h"

using namespace testing_support;
using fixture::BkfWriter;
using fixture::Bytes;
using fixture::FileOptions;
using fixture::Stream;

namespace {
void ExpectContent(const bkf& s, const std::u16string& name, const std::string& content) {
  const int64_t f = FileByName(s, name);
  ASSERT_GE(f, 0) << ToUtf8(name);
  EXPECT_EQ(uint64_t(s.m_files.Record(f).dataLength), content.size()) << ToUtf8(name);
  const auto got = RecordContent(s, f);
  EXPECT_EQ(std::string(got.begin(), got.end()), content) << ToUtf8(name);
}
}  // namespace

TEST(TagsAcrossTheWindowEnd, TagInTheLastFourOffsetsIsFound) {
  for (int at : {1020, 1021, 1022, 1023}) {
    BkfWriter w(BkfWriter::Layout::Packed);
    w.Zeros(uint64_t(at));
    w.File(u"edge.txt", "edge");
    w.PadTo(4096);
    auto scan = ScanBytes(w.Data());
    ExpectContent(*scan->scanner, u"edge.txt", "edge");
  }
}

TEST(TagsAcrossTheWindowEnd, AlignedBlocksAfterAOneByteStepAreStillFound) {
  BkfWriter w;
  w.Tape(u"T");
  w.Sset(1, u"S");
  const uint64_t dirb = w.Dirb(u"bad");
  w.Overwrite(dirb + 82, Bytes{0x00, 0x04});  // name offset 1024: the next window is one byte on
  w.Volb(u"C:");
  w.Dirb(u"Docs");
  w.File(u"a.txt", "alpha");
  w.File(u"b.txt", "beta");
  auto scan = ScanBytes(w.Data());
  const bkf& s = *scan->scanner;
  const int64_t docs = NodeByPath(s, {u"T", u"SET 1 :S", u"C:", u"Docs"});
  ASSERT_GT(docs, 0);
  EXPECT_EQ(FileNames(s, docs), (std::vector<std::u16string>{u"a.txt", u"b.txt"}));
}

TEST(LandingAfterContent, BlockLettersInTheLastKiBOfAFileDoNotMoveTheGrid) {
  // C source whose last KiB holds "FILE *fp;": the walk must land after the
  // content, not inside it, or the next block is lost.
  for (size_t size : {size_t(1500), size_t(10000), size_t(10000 + 700), size_t(65536 + 333)}) {
    std::string source(size, ' ');
    const std::string tail = "int main(void) { FILE *fp = fopen(\"x\", \"r\"); return 0; }\n";
    source.replace(size - tail.size() - 200, tail.size(), tail);
    BkfWriter w;
    w.Tape(u"T");
    w.Sset(1, u"S");
    w.Volb(u"C:");
    w.Dirb(u"src");
    w.File(u"main.c", source);
    w.File(u"next.c", "next");
    w.File(u"last.c", "last");
    auto scan = ScanBytes(w.Data());
    const bkf& s = *scan->scanner;
    ExpectContent(s, u"main.c", source);
    ExpectContent(s, u"next.c", "next");
    ExpectContent(s, u"last.c", "last");
    EXPECT_EQ(s.m_files.Count(), 3) << size;
  }
}

TEST(StreamsBeyondTheWindow, ContentAfterLargeStreamsOrLongNamesIsFound) {
  struct Case {
    const char* what;
    std::u16string name;
    std::vector<Stream> before;
  } cases[] = {
      {"security descriptor of 3000 bytes", u"secured.txt", {Stream{"NACL", Bytes(3000, 0x11), 0, {}}}},
      {"long name and two streams", std::u16string(250, u'n'),
       {Stream{"NTOI", Bytes(300, 1), 0, {}}, Stream{"NACL", Bytes(301, 2), 0, {}}}},
      {"many small streams", u"many.txt", std::vector<Stream>(60, Stream{"ADAT", Bytes(5, 3), 0, {}})},
  };
  for (const auto& c : cases) {
    BkfWriter w;
    w.Volb(u"C:");
    FileOptions options;
    options.before = c.before;
    w.File(c.name, "the content", options);
    w.File(u"follower.txt", "follows");
    auto scan = ScanBytes(w.Data());
    ExpectContent(*scan->scanner, c.name, "the content");
    ExpectContent(*scan->scanner, u"follower.txt", "follows");
  }
}

TEST(StreamsBeyondTheWindow, WalkEndsWithoutStanAtUnknownIdsLimitsAndOverflow) {
  struct Case {
    const char* what;
    std::vector<Stream> before;
    bool stan;
    bool recorded;
  } cases[] = {
      {"unknown stream id", {Stream{"NTOI", Bytes(5000, 1), 0, {}}, Stream{"XXXX", Bytes(8, 0), 0, {}}}, false, true},
      {"more than 64 headers", std::vector<Stream>(64, Stream{"ADAT", Bytes(1, 3), 0, {}}), true, true},
      {"overflowing length", {Stream{"NTOI", Bytes(4, 1), 0, UINT64_MAX - 10}}, true, false},
      {"length past the file", {Stream{"NTOI", Bytes(4, 1), 0, uint64_t(1) << 40}}, true, false},
  };
  for (const auto& c : cases) {
    BkfWriter w;
    w.Volb(u"C:");
    FileOptions options;
    options.before = c.before;
    options.stan = c.stan;
    const uint64_t at = w.File(u"odd.bin", "data", options);
    w.File(u"follower.txt", "follows");
    auto scan = ScanBytes(w.Data());
    const bkf& s = *scan->scanner;
    const int64_t f = FileByName(s, u"odd.bin");
    EXPECT_EQ(f >= 0, c.recorded) << c.what;
    if (f >= 0) {
      EXPECT_EQ(uint64_t(s.m_files.Record(f).dataLength), 0u) << c.what;
      EXPECT_GT(uint64_t(s.m_files.Record(f).dataPosition), at) << c.what;
    }
    ExpectContent(s, u"follower.txt", "follows");
  }
}

TEST(FoldersUnderTheVolume, SameNamedFoldersStayWhereTheirPathSays) {
  BkfWriter w;
  w.Tape(u"T");
  w.Sset(1, u"S");
  w.Volb(u"C:");
  w.Dirb(u"Projects\\Archive\\Docs");
  w.File(u"report.doc", "old report");
  w.Dirb(u"Projects\\Docs");
  w.File(u"report.doc", "new report");
  w.Dirb(u"Projects\\Archive\\Docs");  // met again: becomes current again
  w.File(u"index.txt", "index");
  auto scan = ScanBytes(w.Data());
  const bkf& s = *scan->scanner;
  const int64_t deep = NodeByPath(s, {u"T", u"SET 1 :S", u"C:", u"Projects", u"Archive", u"Docs"});
  const int64_t shallow = NodeByPath(s, {u"T", u"SET 1 :S", u"C:", u"Projects", u"Docs"});
  ASSERT_GT(deep, 0);
  ASSERT_GT(shallow, 0);
  EXPECT_EQ(FileNames(s, shallow), (std::vector<std::u16string>{u"report.doc"}));
  EXPECT_EQ(int64_t(s.m_files.Record(1).parent), shallow);
  EXPECT_EQ(int64_t(s.m_files.Record(0).parent), deep);
  EXPECT_EQ(int64_t(s.m_files.Record(2).parent), deep);
  EXPECT_EQ(s.m_tree.Count(), 8);  // no folder was added twice
}

TEST(FoldersUnderTheVolume, VolumesWhoseNamesTheFirstPartCannotEqualGetFolders) {
  for (std::u16string volume : {u"\\\\server\\share", u"C:\\", u"C:"}) {
    BkfWriter w;
    w.Volb(volume);
    w.Dirb(u"Data\\2024");
    w.File(u"sheet.xls", "cells");
    auto scan = ScanBytes(w.Data());
    const bkf& s = *scan->scanner;
    const int64_t folder = NodeByPath(s, {u"TAPE CREATED ", u"SET CREATED ", volume, u"Data", u"2024"});
    ASSERT_GT(folder, 0) << ToUtf8(volume);
    EXPECT_EQ(FileNames(s, folder), (std::vector<std::u16string>{u"sheet.xls"}));
  }
  // The placeholder volume a file block makes.
  BkfWriter w;
  w.File(u"first.txt", "1");
  w.Dirb(u"Later");
  w.File(u"second.txt", "2");
  auto scan = ScanBytes(w.Data());
  const bkf& s = *scan->scanner;
  const int64_t later = NodeByPath(s, {u"TAPE CREATED ", u"SET CREATED ", u"VOLUME XX: ", u"Later"});
  ASSERT_GT(later, 0);
  EXPECT_EQ(FileNames(s, later), (std::vector<std::u16string>{u"second.txt"}));
}

TEST(FoldersUnderTheVolume, WithoutAVolumePrefixPathsResolveByTheirFirstPart) {
  // After a set block the prefix is empty: the first part must name a node
  // below the volume, else nothing is added and files go to the current node.
  BkfWriter w;
  w.Tape(u"T");
  w.Sset(1, u"One");
  w.Volb(u"C:");
  w.Dirb(u"Shared");
  w.Sset(2, u"Two");
  w.Dirb(u"Unknown\\Sub");
  w.File(u"in-set-two.txt", "2");
  w.Dirb(u"Shared\\Child");
  w.File(u"in-child.txt", "c");
  auto scan = ScanBytes(w.Data());
  const bkf& s = *scan->scanner;
  const int64_t setTwo = NodeByPath(s, {u"T", u"SET 2 :Two"});
  EXPECT_EQ(FileNames(s, setTwo), (std::vector<std::u16string>{u"in-set-two.txt"}));
  const int64_t child = NodeByPath(s, {u"T", u"SET 1 :One", u"C:", u"Shared", u"Child"});
  ASSERT_GT(child, 0);
  EXPECT_EQ(FileNames(s, child), (std::vector<std::u16string>{u"in-child.txt"}));
}
