// The file extractor: uncompressed and compressed data, chains of data
// streams, split backups over several parts, the questions it asks, and what
// it does with damaged input.
#include <gtest/gtest.h>

#include <cstring>

#include "extract_support.h"
#include "lzs_encoder.h"
#include "split_backup.h"
#include "test_support.h"

using namespace testing_support;
using fixture::Bytes;

namespace {

Bytes Slice(const Bytes& b, size_t from, size_t to = SIZE_MAX) {
  return Bytes(b.begin() + long(from), b.begin() + long(std::min(to, b.size())));
}
Bytes Concat(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

fixture::BkfWriter Backup() {
  fixture::BkfWriter w;
  w.Tape(u"Media 1");
  w.Sset(1, u"Daily");
  w.Volb(u"C:");
  w.Dirb(u"Data");
  return w;
}

// Scans a backup of one file (after the usual blocks) and extracts it.
Extracted ExtractOnly(const Bytes& content, ScriptedPrompts& prompts, fixture::FileOptions options = {}) {
  fixture::BkfWriter w = Backup();
  w.File(u"file.bin", content, options);
  w.Marker("ESET");
  auto scan = ScanBytes(w.Data());
  EXPECT_EQ(scan->scanner->m_files.Count(), 1);
  return ExtractRecord(*scan->scanner, 0, prompts);
}

TEST(Extractor, EmptyDataGivesAnEmptyFile) {
  ScriptedPrompts prompts;
  const Extracted e = ExtractOnly({}, prompts);
  EXPECT_EQ(e.outcome, ExtractOutcome::Written);
  EXPECT_TRUE(e.bytes.empty());
  EXPECT_TRUE(prompts.pieces.empty());
}

TEST(Extractor, CopiesUncompressedDataInMiBPieces) {
  struct Case {
    size_t size;
    std::vector<uint64_t> pieces;
  };
  const Case cases[] = {
      {5000, {5000}},
      {1048576, {1048576}},
      {3000000, {1048576, 1048576, 902848}},
  };
  for (const Case& c : cases) {
    const Bytes content = BinaryContent(c.size, uint32_t(c.size));
    ScriptedPrompts prompts;
    const Extracted e = ExtractOnly(content, prompts);
    EXPECT_EQ(e.outcome, ExtractOutcome::Written);
    EXPECT_TRUE(e.bytes == content) << c.size;
    EXPECT_EQ(prompts.pieces, c.pieces);
    EXPECT_TRUE(e.readerEmptyAfter);
    EXPECT_EQ(prompts.confirmAsked + prompts.nextPartAsked, 0);
  }
}

TEST(Extractor, StopEndsTheCopyAfterTheCurrentPiece) {
  const Bytes content = BinaryContent(3000000);
  ScriptedPrompts prompts;
  prompts.onPiece = [](uint64_t) { AppState().m_bProcessRunning.store(0); };
  const Extracted e = ExtractOnly(content, prompts);
  EXPECT_EQ(e.outcome, ExtractOutcome::Written);
  EXPECT_TRUE(e.bytes == Slice(content, 0, 1048576));
}

TEST(Extractor, FollowsFurtherDataStreamsOfTheChain) {
  const Bytes first = TextContent(1001);
  const Bytes second = BinaryContent(333);
  fixture::FileOptions options;
  options.after.push_back(fixture::Stream{"STAN", second, 0, {}});
  ScriptedPrompts prompts;
  EXPECT_TRUE(ExtractOnly(first, prompts, options).bytes == Concat(first, second));
}

TEST(Extractor, DecodesCompressedAndStoredFrames) {
  struct Case {
    const char* what;
    Bytes data;
    fixture::FrameOptions frames;
  };
  const Case cases[] = {
      {"text, compressed frames", TextContent(100000), {}},
      {"stored frames", NoiseContent(40000), {8192, true}},
      {"compressed frames, then stored ones", Concat(TextContent(30000), NoiseContent(30000)), {8192, false}},
      {"one frame of the largest size", TextContent(63520), {63520, false}},
  };
  for (const Case& c : cases) {
    ScriptedPrompts prompts;
    const Extracted e = ExtractOnly(fixture::CompressedContent(c.data, c.frames), prompts);
    EXPECT_EQ(e.outcome, ExtractOutcome::Written) << c.what;
    EXPECT_TRUE(e.bytes == c.data) << c.what;
  }
}

TEST(Extractor, AFrameLargerThanTheBuffersEndsTheData) {
  const Bytes text = TextContent(3000);
  struct Case {
    uint32_t uncompressed;
    uint32_t compressed;
  };
  for (const Case c : {Case{1000, 63489}, Case{63521, 100}, Case{0xFFFFFFFF, 0xFFFFFFFF}}) {
    Bytes content = fixture::CompressedContent(text);
    const Bytes bad = fixture::FrameHeader(c.uncompressed, c.compressed);
    content.insert(content.end(), bad.begin(), bad.end());
    const Bytes more = fixture::CompressedContent(TextContent(2000, 9));
    content.insert(content.end(), more.begin(), more.end());
    ScriptedPrompts prompts;
    EXPECT_TRUE(ExtractOnly(content, prompts).bytes == text) << c.uncompressed << " " << c.compressed;
  }
}

// Content that merely begins with "FH" is no compressed data.
TEST(Extractor, OnlyAPlausibleFrameHeaderMakesTheDataCompressed) {
  auto withHeader = [](uint32_t uncompressed, uint32_t compressed, size_t bodySize) {
    Bytes b = fixture::FrameHeader(uncompressed, compressed);
    const Bytes body = TextContent(bodySize);
    b.insert(b.end(), body.begin(), body.end());
    return b;
  };
  struct Case {
    const char* what;
    Bytes content;
  };
  const Case cases[] = {
      {"text", fixture::FromText("FHIR bundle export\n{\"resourceType\": \"Bundle\", \"entry\": []}\n")},
      {"just the letters", fixture::FromText("FH")},
      {"shorter than a frame header", fixture::FromText("FH 2026 plan")},
      {"compressed size 0", withHeader(100, 0, 200)},
      {"compressed size past the data", withHeader(100, 201, 200)},
      {"compressed size over the input buffer", withHeader(100, 63489, 70000)},
      {"uncompressed size 0", withHeader(0, 50, 200)},
      {"uncompressed size over the output buffer", withHeader(63521, 50, 200)},
  };
  for (const Case& c : cases) {
    ScriptedPrompts prompts;
    const Extracted e = ExtractOnly(c.content, prompts);
    EXPECT_TRUE(e.bytes == c.content) << c.what;
  }
  // The limits themselves still count as compressed: a stored frame of
  // exactly the data's length less the header.
  Bytes stored = fixture::FrameHeader(200, 200);
  const Bytes body = TextContent(200);
  stored.insert(stored.end(), body.begin(), body.end());
  ScriptedPrompts prompts;
  EXPECT_TRUE(ExtractOnly(stored, prompts).bytes == body);
}

TEST(Extractor, CannotCreateAndWriteFailures) {
  fixture::BkfWriter w = Backup();
  w.File(u"a.txt", "some text");
  auto scan = ScanBytes(w.Data());
  TempDir dir;
  std::filesystem::create_directories(dir / "taken");
  SegmentedReader reader;
  ScriptedPrompts prompts;
  AppState().m_bProcessRunning.store(1);
  EXPECT_EQ(ExtractFile(*scan->scanner, scan->scanner->m_files.Record(0), dir / "taken", prompts, reader),
            ExtractOutcome::CannotCreate);
  EXPECT_EQ(reader.PartCount(), 0u);
  if (std::filesystem::exists("/dev/full")) {
    EXPECT_THROW(ExtractFile(*scan->scanner, scan->scanner->m_files.Record(0), "/dev/full", prompts, reader),
                 OutputFileError);
    EXPECT_EQ(reader.PartCount(), 0u);
  }
  AppState().m_bProcessRunning.store(0);
}

// A piece that would end before its own start (the part is shorter than the
// 1046 bytes that the end of a part keeps) becomes empty.
TEST(Extractor, DataRunningIntoTheEndOfAShortTailGivesNothing) {
  fixture::BkfWriter w = Backup();
  w.File(u"filler.bin", BinaryContent(16000));
  const uint64_t block = w.Size();
  // Headers whose checksums fail keep their declared length in the scan.
  fixture::FileOptions wrong;
  wrong.block.wrongChecksums = true;
  w.File(u"cut.bin", TextContent(3000), wrong);
  w.Truncate(block + 1024);
  auto scan = ScanBytes(w.Data());
  const int64_t cut = FileByName(*scan->scanner, u"cut.bin");
  ASSERT_GE(cut, 0);
  ScriptedPrompts prompts;
  const Extracted e = ExtractRecord(*scan->scanner, cut, prompts);
  EXPECT_EQ(e.outcome, ExtractOutcome::Written);
  EXPECT_TRUE(e.bytes.empty());
  EXPECT_EQ(prompts.nextPartAsked, 0);
}

TEST(Extractor, AChainWithAnOverflowingLengthEndsAtThePartsEnd) {
  for (const uint64_t length : {UINT64_MAX, UINT64_MAX - 21, UINT64_MAX - 10, uint64_t(1) << 62}) {
    const Bytes first = TextContent(100);
    fixture::FileOptions options;
    options.after.push_back(fixture::Stream{"STAN", fixture::FromText("second"), 0, length});
    fixture::BkfWriter w = Backup();
    w.File(u"file.bin", first, options);
    w.Marker("ESET");
    auto scan = ScanBytes(w.Data());
    ScriptedPrompts prompts;
    const Extracted e = ExtractRecord(*scan->scanner, 0, prompts);
    // The second header follows the first data, rounded up to four bytes.
    const uint64_t firstHeader = scan->scanner->m_files.Record(0).dataPosition - 22;
    const uint64_t secondData = firstHeader + 124 + 22;
    EXPECT_TRUE(e.bytes == Concat(first, Slice(w.Data(), secondData))) << length;
  }
}

// --- Split backups ---------------------------------------------------------

struct Split {
  std::vector<std::filesystem::path> parts;
  Bytes content;  // of big.bin
};

// big.bin split over parts after `pieces`, with a file in front of it so that
// the scan of part 1 records it, and one after it in the last part.
Split WriteSplit(const TempDir& dir, const std::string& stem, const Bytes& content, const std::vector<uint64_t>& pieces) {
  fixture::SplitBackupWriter w;
  w.Sset(1, u"Daily");
  w.Volb(u"C:");
  w.Dirb(u"Data");
  w.Part().File(u"before.bin", BinaryContent(256 * 1024, 11));
  w.SplitFile(u"big.bin", content, pieces);
  w.Part().File(u"after.txt", "after the split file\r\n");
  w.Part().Marker("ESET");
  w.Part().Marker("EOTM");
  return Split{w.WriteTo(dir.Path(), stem), content};
}

Extracted ExtractFromPart(const std::filesystem::path& part, const std::u16string& name, ScriptedPrompts& prompts) {
  auto scan = ScanFile(part);
  const int64_t i = FileByName(*scan->scanner, name);
  EXPECT_GE(i, 0) << ToUtf8(name);
  if (i < 0) return {};
  return ExtractRecord(*scan->scanner, i, prompts);
}

TEST(ExtractorSplit, TwoPartsNoneOrGiveUp) {
  TempDir dir;
  const Split s = WriteSplit(dir, "two", BinaryContent(30000, 2), {10002});
  ASSERT_EQ(s.parts.size(), 2u);
  {
    ScriptedPrompts prompts;
    prompts.nextParts = {s.parts[1]};
    const Extracted e = ExtractFromPart(s.parts[0], u"big.bin", prompts);
    EXPECT_EQ(e.outcome, ExtractOutcome::Written);
    EXPECT_TRUE(e.bytes == s.content);
    EXPECT_EQ(prompts.nextPartAsked, 1);
    EXPECT_TRUE(e.readerEmptyAfter);
  }
  {
    ScriptedPrompts prompts;  // no part named: what part 1 holds
    const Extracted e = ExtractFromPart(s.parts[0], u"big.bin", prompts);
    EXPECT_EQ(e.outcome, ExtractOutcome::Written);
    EXPECT_TRUE(e.bytes == Slice(s.content, 0, 10002));
  }
  {
    ScriptedPrompts prompts;
    prompts.giveUpWhenEmpty = true;
    const Extracted e = ExtractFromPart(s.parts[0], u"big.bin", prompts);
    EXPECT_EQ(e.outcome, ExtractOutcome::Declined);
    EXPECT_TRUE(e.bytes.empty());
  }
  // The other files of the parts are whole, and nothing asks for a part.
  ScriptedPrompts prompts;
  EXPECT_TRUE(ExtractFromPart(s.parts[1], u"after.txt", prompts).bytes ==
              fixture::FromText("after the split file\r\n"));
  EXPECT_TRUE(ExtractFromPart(s.parts[0], u"before.bin", prompts).bytes == BinaryContent(256 * 1024, 11));
  EXPECT_EQ(prompts.nextPartAsked + prompts.confirmAsked, 0);
}

TEST(ExtractorSplit, ThreeParts) {
  TempDir dir;
  const Split s = WriteSplit(dir, "three", TextContent(30000, 3), {10002, 8002});
  ASSERT_EQ(s.parts.size(), 3u);
  ScriptedPrompts prompts;
  prompts.nextParts = {s.parts[1], s.parts[2]};
  const Extracted e = ExtractFromPart(s.parts[0], u"big.bin", prompts);
  EXPECT_TRUE(e.bytes == s.content);
  EXPECT_EQ(prompts.nextPartAsked, 2);
}

TEST(ExtractorSplit, CompressedFramesStraddleTheParts) {
  const Bytes text = TextContent(300000, 5);
  const Bytes compressed = fixture::CompressedContent(text, {8192, false});
  std::vector<size_t> frames;  // frame offsets, to put the end of part 1 inside a frame
  for (size_t at = 0; at + 24 <= compressed.size(); at += 24 + LoadU32(&compressed[at + 16])) frames.push_back(at);
  ASSERT_GT(frames.size(), 10u);
  auto cutNear = [](size_t at) {
    while (at % 4 != 2) ++at;  // where a piece can end
    return at;
  };
  struct Case {
    const char* stem;
    size_t cut;
  };
  TempDir dir;
  for (const Case c : {Case{"header", cutNear(frames[3] + 9)}, Case{"data", cutNear(frames[5] + 400)}}) {
    const Split s = WriteSplit(dir, c.stem, compressed, {c.cut});
    ScriptedPrompts prompts;
    prompts.nextParts = {s.parts[1]};
    EXPECT_TRUE(ExtractFromPart(s.parts[0], u"big.bin", prompts).bytes == text) << c.stem;
  }
}

TEST(ExtractorSplit, ContinuationBitDeclinedOrAccepted) {
  TempDir dir;
  const Split s = WriteSplit(dir, "cont", BinaryContent(30000, 6), {10002});
  {
    ScriptedPrompts prompts;
    prompts.confirm = false;
    const Extracted e = ExtractFromPart(s.parts[1], u"big.bin", prompts);
    EXPECT_EQ(e.outcome, ExtractOutcome::Declined);
    EXPECT_TRUE(e.bytes.empty());
    EXPECT_EQ(prompts.confirmAsked, 1);
    EXPECT_TRUE(e.readerEmptyAfter);
  }
  ScriptedPrompts prompts;
  const Extracted e = ExtractFromPart(s.parts[1], u"big.bin", prompts);
  EXPECT_EQ(e.outcome, ExtractOutcome::Written);
  EXPECT_TRUE(e.bytes == Slice(s.content, 10002));
  EXPECT_EQ(prompts.confirmAsked, 1);
}

TEST(ExtractorSplit, APartWithoutFileBlockIsAskedForAgain) {
  TempDir dir;
  const Split s = WriteSplit(dir, "again", BinaryContent(30000, 7), {10002});
  fixture::WriteFile(dir / "zeros.bkf", Bytes(8192, 0));
  ScriptedPrompts prompts;
  prompts.nextParts = {dir / "zeros.bkf", s.parts[1]};
  EXPECT_TRUE(ExtractFromPart(s.parts[0], u"big.bin", prompts).bytes == s.content);
  EXPECT_EQ(prompts.nextPartAsked, 2);
}

TEST(ExtractorSplit, A257thPartIsTakenAsNone) {
  TempDir dir;
  const Split s = WriteSplit(dir, "many", BinaryContent(30000, 8), {10002});
  fixture::WriteFile(dir / "zeros.bkf", Bytes(2048, 0));
  ScriptedPrompts prompts;
  prompts.alwaysPart = dir / "zeros.bkf";
  const Extracted e = ExtractFromPart(s.parts[0], u"big.bin", prompts);
  EXPECT_EQ(prompts.nextPartAsked, 255);
  EXPECT_EQ(e.outcome, ExtractOutcome::Written);
  EXPECT_TRUE(e.bytes == Slice(s.content, 0, 10002));
}

// A padded continuation block: no rounding after "CPAD", nor after the first
// data stream.
TEST(ExtractorSplit, PaddedContinuationBlock) {
  TempDir dir;
  const Split s = WriteSplit(dir, "pad", BinaryContent(30000, 9), {10002});
  auto header = [](const char* id, uint64_t length, uint16_t attributes = 0) {
    Bytes h(22, 0);
    std::memcpy(h.data(), id, 4);
    h[6] = uint8_t(attributes);
    for (int k = 0; k < 8; ++k) h[8 + size_t(k)] = uint8_t(length >> (8 * k));
    return h;
  };
  fixture::BkfWriter w;
  w.Tape(u"Media 1");
  fixture::BlockOptions options;
  options.pad = false;
  w.Block("FILE", 88, {}, {{84, fixture::Utf16Le(u"big.bin")}}, {}, options);
  w.Raw(header("CPAD", 5));
  w.Raw("ppppp");
  w.Raw(header("STAN", 7, 1));
  w.Raw("payload");
  w.Raw(header("STAN", 6));
  w.Raw("second");
  w.Zeros(64);
  w.PadTo(1024);
  w.Marker("EOTM");
  w.WriteTo(dir / "pad-2.bkf");
  ScriptedPrompts prompts;
  prompts.nextParts = {dir / "pad-2.bkf"};
  EXPECT_TRUE(ExtractFromPart(s.parts[0], u"big.bin", prompts).bytes ==
              Concat(Slice(s.content, 0, 10002), fixture::FromText("payloadsecond")));
}

// A soft filemark right after a file's data, not at the end of the part,
// ends the file like any other header.
TEST(ExtractorSplit, AFilemarkInsideThePartIsNoContinuation) {
  fixture::BkfWriter w = Backup();
  const std::u16string name = u"exact.bin";
  const size_t dataOffset = ((88 + 2 * name.size() + 3) & ~size_t(3)) + 22;
  const Bytes content = TextContent(4096 + (1024 - dataOffset), 4);
  fixture::FileOptions options;
  options.block.pad = false;
  w.File(name, content, options);
  w.Marker("SFMB");
  w.Sset(2, u"Weekly");
  w.Volb(u"D:");
  w.File(u"later.txt", "later");
  w.Marker("ESET");
  w.Marker("EOTM");
  auto scan = ScanBytes(w.Data());
  const int64_t i = FileByName(*scan->scanner, name);
  ASSERT_GE(i, 0);
  const FoundFileRecord r = scan->scanner->m_files.Record(i);
  ASSERT_EQ((r.dataPosition + r.dataLength) % 1024, 0u);
  ScriptedPrompts prompts;
  const Extracted e = ExtractRecord(*scan->scanner, i, prompts);
  EXPECT_TRUE(e.bytes == content);
  EXPECT_EQ(prompts.nextPartAsked, 0);
}

}  // namespace
