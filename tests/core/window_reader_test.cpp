// Buffered windows deliver exactly the file's bytes, with zeros past its end.
#include <gtest/gtest.h>

#include <sys/stat.h>

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
