// Tag lookup, name copies and directory-name conversion.
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "mtf.h"
#include "tag_search.h"

namespace {
const uint8_t* B(const char* s) { return reinterpret_cast<const uint8_t*>(s); }
}  // namespace

TEST(TagTable, LooksUpTagsInTableOrder) {
  const TagTable t;
  EXPECT_EQ(std::string(t.Data(), 4), "TAPE");
  EXPECT_EQ(t.Data()[134], '\0');
  struct Case {
    const char* bytes;
    int block;
    int stream;
  } cases[] = {
      {"TAPE", kBlockTape, kTagNotFound}, {"ESPB", kBlockEspb, kTagNotFound},
      {"SFMB", kBlockSfmb, kTagNotFound}, {"STAN", kTagNotFound, kStreamStan},
      {"CPAD", kTagNotFound, kStreamCpad}, {"TSMP", kTagNotFound, kStreamTsmp},
      {"tape", kTagNotCapital, kTagNotCapital}, {"\xC4" "APE", kTagNotCapital, kTagNotCapital},
      {"ZZZZ", kTagNotFound, kTagNotFound}, {"TAPf", kTagNotFound, kTagNotFound},
      {"NTQU", kTagNotFound, kTagNotFound},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(t.FindBlockTag(B(c.bytes)), c.block) << c.bytes;
    EXPECT_EQ(t.FindStreamTag(B(c.bytes)), c.stream) << c.bytes;
  }
}

TEST(NameCopy, TakesUtf16UpToTheFirstZeroUnitAndNeverReadsPastTheWindow) {
  uint8_t window[16] = {};
  const char16_t text[] = u"Disk";
  std::memcpy(window + 6, text, 8);
  EXPECT_EQ(CopyNameText(window, sizeof window, 6, 8), u"Disk");
  // An odd size keeps its last byte as the low byte of a final unit.
  EXPECT_EQ(CopyNameText(window, sizeof window, 6, 5), u"Dis");
  window[6 + 4] = 'X';
  EXPECT_EQ(CopyNameText(window, sizeof window, 6, 5), u"DiX");
  // A name running past the window is cut at the window's end.
  EXPECT_EQ(CopyNameText(window, sizeof window, 12, 200), std::u16string(u"k"));
  EXPECT_EQ(CopyNameText(window, sizeof window, 20, 10), u"");
}

TEST(DirectoryName, ZeroUnitsBecomeBackslashesButTheLast) {
  auto convert = [](std::u16string units) {
    std::vector<uint8_t> w(8 + units.size() * 2);
    std::memcpy(w.data() + 8, units.data(), units.size() * 2);
    return ConvertDirectoryName(w.data(), w.size(), 8, uint16_t(units.size() * 2));
  };
  EXPECT_EQ(convert(std::u16string(1, u'\0')), u"");
  EXPECT_EQ(convert(std::u16string(u"A\0B\0", 4)), u"A\\B");
  EXPECT_EQ(convert(std::u16string(u"Windows\0System32\0", 17)), u"Windows\\System32");
  EXPECT_EQ(convert(std::u16string(u"NoTerminator", 12)), u"NoTerminator");
}

TEST(TagSearch, FindsTheSameFirstTagAsALookupAtEveryOffset) {
  for (bool withoutAvx2 : {false, true}) {
  UseTagSearchWithoutAvx2(withoutAvx2);
  const TagTable t;
  std::mt19937 rng(7);
  const char* tags[] = {"TAPE", "SSET", "VOLB", "DIRB", "FILE", "CFIL", "SFMB", "ESET", "EOTM", "ESPB"};
  const uint32_t masks[] = {kAllBlockTags, kAllBlockTags & ~BlockTagBit(kBlockCfil) & ~BlockTagBit(kBlockSfmb)};
  for (int round = 0; round < 3000; ++round) {
    std::vector<uint8_t> w(1027);
    // Capital letters often, so near misses are common.
    for (auto& b : w) b = (rng() % 3 == 0) ? uint8_t('A' + rng() % 26) : uint8_t(rng());
    for (int n = int(rng() % 3); n > 0; --n) std::memcpy(&w[rng() % 1024], tags[rng() % 10], 4);
    for (uint32_t mask : masks) {
      long expectK = -1;
      int expectTag = -1;
      for (size_t k = 0; k < 1024 && expectK < 0; ++k) {
        const int tag = t.FindBlockTag(&w[k]);
        if (tag >= 0 && (mask & BlockTagBit(tag))) expectK = long(k), expectTag = tag;
      }
      int tag = -1;
      ASSERT_EQ(FindFirstBlockTag(w.data(), 1024, mask, tag), expectK) << round;
      ASSERT_EQ(tag, expectTag);
    }
  }
  }
  UseTagSearchWithoutAvx2(false);
}

TEST(RoundUp4, RoundsAndRefusesOverflow) {
  uint64_t out = 0;
  ASSERT_TRUE(RoundUp4(100 + 22 + 5, out));
  EXPECT_EQ(out, 128u);
  ASSERT_TRUE(RoundUp4(128, out));
  EXPECT_EQ(out, 128u);
  EXPECT_FALSE(RoundUp4(UINT64_MAX - 1, out));
}
