// Buffered windows deliver exactly the file's bytes, with zeros past its end.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <random>

#include "bkf_file.h"
#include "test_support.h"

using namespace testing_support;

TEST(WindowReader, DeliversTheSameBytesAsDirectReadsWhereverItIsAsked) {
  TempDir dir;
  std::mt19937 rng(3);
  fixture::Bytes bytes(300000);
  for (auto& b : bytes) b = uint8_t(rng());
  fixture::WriteFile(dir / "f.bin", bytes);
  BkfFile file;
  ASSERT_TRUE(file.Open(dir / "f.bin"));
  WindowReader reader(file);
  EXPECT_EQ(reader.Length(), bytes.size());
  uint64_t pos = 0;
  for (int i = 0; i < 5000; ++i) {
    // Mostly forward steps of a window, sometimes jumps either way or past the end.
    const int kind = int(rng() % 10);
    if (kind < 6) pos += 1024;
    else if (kind < 8) pos = rng() % (bytes.size() + 5000);
    else pos += rng() % 70000;
    if (pos > bytes.size() + 5000) pos = rng() % 1000;
    std::vector<uint8_t> got(1027, 0xEE);
    reader.Read(pos, got.data(), got.size());
    for (size_t k = 0; k < got.size(); ++k) {
      const uint8_t want = pos + k < bytes.size() ? bytes[pos + k] : 0;
      ASSERT_EQ(got[k], want) << "pos " << pos << " k " << k;
    }
  }
}

// Long forward runs, spans as long as the reader holds and steps back within
// the buffer: the bytes must still be the file's wherever a run breaks off,
// starts again or ends at the end of the file.
TEST(WindowReader, LongRunsAndLongSpansDeliverTheFilesBytes) {
  TempDir dir;
  std::mt19937 rng(5);
  fixture::Bytes bytes(6 * 1024 * 1024 + 777);
  for (auto& b : bytes) b = uint8_t(rng());
  fixture::WriteFile(dir / "f.bin", bytes);
  BkfFile file;
  ASSERT_TRUE(file.Open(dir / "f.bin"));
  for (int round = 0; round < 6; ++round) {
    WindowReader reader(file);
    uint64_t pos = round % 2 ? rng() % 4096 : 0;
    while (pos < bytes.size() + 2048) {
      // Window steps, spans as long as the reader holds, small steps back
      // within the window, and now and then a jump.
      const int kind = int(rng() % 100);
      size_t n = 1027;
      if (kind < 20) {
        n = std::max<size_t>(reader.Held(pos), 1027);
      } else if (kind == 20 && round >= 4) {
        pos = rng() % bytes.size();
        continue;
      }
      const uint8_t* got = reader.Span(pos, n);
      for (size_t k = 0; k < n; k += 61) {
        const uint8_t want = pos + k < bytes.size() ? bytes[pos + k] : 0;
        ASSERT_EQ(got[k], want) << "round " << round << " pos " << pos << " k " << k;
      }
      ASSERT_EQ(got[n - 1], pos + n - 1 < bytes.size() ? bytes[pos + n - 1] : 0);
      pos += kind < 20 ? n - 3 : (kind < 30 ? 1024 - rng() % 1024 : 1024);
    }
    EXPECT_GE(reader.BytesFetched(), round >= 4 ? 0u : bytes.size() - 4096);
  }
}

TEST(BkfFile, RefusesWhatIsNotARegularFileWithoutBlocking) {
  TempDir dir;
  ASSERT_EQ(mkfifo((dir / "pipe.bkf").c_str(), 0600), 0);
  BkfFile file;
  EXPECT_FALSE(file.Open(dir.Path()));
  EXPECT_FALSE(file.Open(dir / "missing.bkf"));
  EXPECT_FALSE(file.Open(dir / "pipe.bkf"));  // no writer: a blocking open would never return
  EXPECT_FALSE(file.Open("/dev/null"));
  EXPECT_FALSE(file.IsOpen());
}
