// The segmented reader: segments of part files read as one byte range.
#include <gtest/gtest.h>

#include <random>

#include "segmented_reader.h"
#include "test_support.h"

using namespace testing_support;

namespace {

// Two part files whose bytes tell where they come from: part A holds
// 0, 1, 2, ... and part B 200, 201, ... (each mod 256).
class SegmentedReaderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fixture::Bytes a(1000), b(1000);
    for (size_t i = 0; i < a.size(); ++i) {
      a[i] = uint8_t(i);
      b[i] = uint8_t(200 + i);
    }
    fixture::WriteFile(dir / "a.bkf", a);
    fixture::WriteFile(dir / "b.bkf", b);
    ASSERT_TRUE(partA.Open(dir / "a.bkf"));
    auto partB = std::make_unique<BkfFile>();
    ASSERT_TRUE(partB->Open(dir / "b.bkf"));
    ASSERT_EQ(reader.AddPart(partA), std::optional<uint8_t>(0));
    ASSERT_EQ(reader.AddPart(std::move(partB)), std::optional<uint8_t>(1));
  }

  // What the segments hold, byte for byte (zeros past a part's end).
  fixture::Bytes Expected() const {
    fixture::Bytes all;
    for (size_t i = 0; i < reader.SegmentCount(); ++i) {
      const BkfSegment s = reader.Segment(i);
      for (uint64_t k = 0; k < s.length; ++k) {
        const uint64_t at = s.start + k;
        all.push_back(at >= 1000 ? 0 : s.part == 0 ? uint8_t(at) : uint8_t(200 + at));
      }
    }
    return all;
  }

  fixture::Bytes ReadAt(uint64_t count, uint64_t& position, uint64_t* delivered = nullptr) {
    fixture::Bytes out(count, 0xEE);
    const uint64_t n = reader.Read(out.data(), count, position);
    if (delivered) *delivered = n;
    out.resize(n);
    return out;
  }

  TempDir dir;
  BkfFile partA;
  SegmentedReader reader;
};

TEST_F(SegmentedReaderTest, EmptyReaderDeliversNothing) {
  uint64_t position = 0;
  uint8_t buffer[8];
  EXPECT_EQ(reader.Read(buffer, sizeof buffer, position), 0u);
  SegmentedReader none;
  EXPECT_EQ(none.Read(buffer, sizeof buffer, position), 0u);
  EXPECT_EQ(position, 0u);
}

TEST_F(SegmentedReaderTest, ReadsAcrossSegmentAndPartBoundaries) {
  reader.AddSegment(980, 10, 0);
  reader.AddSegment(0, 0, 1);     // an empty segment is passed over
  reader.AddSegment(500, 14, 1);
  reader.AddSegment(100, 3, 0);   // a middle segment shorter than a read
  reader.AddSegment(10, 50, 1);
  const fixture::Bytes all = Expected();
  ASSERT_EQ(all.size(), 77u);

  // A 24-byte read: 10 bytes from the end of one segment, 14 from the next part.
  uint64_t position = 0;
  EXPECT_EQ(ReadAt(24, position), fixture::Bytes(all.begin(), all.begin() + 24));
  EXPECT_EQ(position, 24u);
  // A read starting exactly at the end of a segment begins the next one.
  EXPECT_EQ(ReadAt(2, position), fixture::Bytes({100, 101}));
  // Three segments in one read.
  position = 20;
  EXPECT_EQ(ReadAt(30, position), fixture::Bytes(all.begin() + 20, all.begin() + 50));
  // Past the end: only what is left, then nothing, and the position stays.
  position = 70;
  uint64_t delivered = 0;
  EXPECT_EQ(ReadAt(24, position, &delivered), fixture::Bytes(all.begin() + 70, all.end()));
  EXPECT_EQ(delivered, 7u);
  EXPECT_EQ(position, 77u);
  EXPECT_EQ(ReadAt(24, position, &delivered).size(), 0u);
  EXPECT_EQ(position, 77u);
}

TEST_F(SegmentedReaderTest, RandomReadsMatchTheConcatenation) {
  std::mt19937 rng(7);
  for (int k = 0; k < 40; ++k) reader.AddSegment(rng() % 1000, rng() % 40, uint8_t(rng() % 2));
  const fixture::Bytes all = Expected();
  for (int k = 0; k < 2000; ++k) {
    uint64_t position = rng() % (all.size() + 10);
    const uint64_t start = position;
    const uint64_t count = rng() % 100;
    const fixture::Bytes got = ReadAt(count, position);
    const uint64_t expect = start >= all.size() ? 0 : std::min<uint64_t>(count, all.size() - start);
    ASSERT_EQ(got.size(), expect);
    ASSERT_TRUE(std::equal(got.begin(), got.end(), all.begin() + long(std::min<uint64_t>(start, all.size()))));
    ASSERT_EQ(position, start + expect);
  }
}

TEST_F(SegmentedReaderTest, PartShorterThanItsSegmentReadsAsZeros) {
  reader.AddSegment(995, 10, 0);
  uint64_t position = 0;
  uint64_t delivered = 0;
  const fixture::Bytes got = ReadAt(10, position, &delivered);
  EXPECT_EQ(delivered, 10u);
  EXPECT_EQ(got, fixture::Bytes({227, 228, 229, 230, 231, 0, 0, 0, 0, 0}));
}

TEST_F(SegmentedReaderTest, LastSegmentCanBeShortened) {
  reader.AddSegment(0, 10, 0);
  reader.AddSegment(0, 10, 1);
  reader.LastSegment().length = 4;
  uint64_t position = 8;
  EXPECT_EQ(ReadAt(10, position), fixture::Bytes({8, 9, 200, 201, 202, 203}));
}

TEST_F(SegmentedReaderTest, HoldsAtMost256PartsAndResetKeepsPartZeroOpen) {
  for (int k = 2; k < 256; ++k) {
    auto part = std::make_unique<BkfFile>();
    ASSERT_TRUE(part->Open(dir / "b.bkf"));
    ASSERT_EQ(reader.AddPart(std::move(part)), std::optional<uint8_t>(uint8_t(k)));
  }
  auto extra = std::make_unique<BkfFile>();
  ASSERT_TRUE(extra->Open(dir / "b.bkf"));
  EXPECT_TRUE(reader.IsFull());
  EXPECT_EQ(reader.AddPart(std::move(extra)), std::nullopt);
  EXPECT_EQ(reader.AddPart(partA), std::nullopt);
  reader.AddSegment(3, 2, 255);
  uint64_t position = 0;
  EXPECT_EQ(ReadAt(2, position), fixture::Bytes({203, 204}));

  reader.Reset();
  EXPECT_EQ(reader.PartCount(), 0u);
  EXPECT_EQ(reader.SegmentCount(), 0u);
  EXPECT_TRUE(partA.IsOpen());
  position = 0;
  EXPECT_EQ(ReadAt(2, position).size(), 0u);
}

}  // namespace
