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

TEST(TagSearch, EveryVectorWidthFindsTheSameFirstTagAsALookupAtEveryOffset) {
  const TagTable t;
  const char* tags[] = {"TAPE", "SSET", "VOLB", "DIRB", "FILE", "CFIL", "SFMB", "ESET", "EOTM", "ESPB"};
  const uint32_t masks[] = {kAllBlockTags, kAllBlockTags & ~BlockTagBit(kBlockCfil) & ~BlockTagBit(kBlockSfmb),
                            BlockTagBit(kBlockFile) | BlockTagBit(kBlockDirb)};
  for (TagSearchLevel level : {TagSearchLevel::Scalar, TagSearchLevel::Sse2, TagSearchLevel::Avx2,
                               TagSearchLevel::Avx512}) {
    if (UseTagSearchLevel(level) != level) continue;  // this machine has no such vectors
    std::mt19937 rng(7);
    for (int round = 0; round < 3000; ++round) {
      // Window-sized searches and the long ones a run of tagless windows makes.
      const size_t count = round % 3 == 0 ? 1024 : 1 + rng() % 5000;
      std::vector<uint8_t> w(count + 3);
      // Capital letters often, and the same letters with the top bits set,
      // so near misses are common.
      for (auto& b : w) {
        const uint32_t r = rng();
        b = (r % 3 == 0) ? uint8_t('A' + (r >> 8) % 26 + ((r >> 16) % 4) * 0x40) : uint8_t(r >> 8);
      }
      for (int n = int(rng() % 3); n > 0; --n) std::memcpy(&w[rng() % count], tags[rng() % 10], 4);
      for (uint32_t mask : masks) {
        long expectK = -1;
        int expectTag = -1;
        for (size_t k = 0; k < count && expectK < 0; ++k) {
          const int tag = t.FindBlockTag(&w[k]);
          if (tag >= 0 && (mask & BlockTagBit(tag))) expectK = long(k), expectTag = tag;
        }
        int tag = -1;
        ASSERT_EQ(FindFirstBlockTag(w.data(), count, mask, tag), expectK) << int(level) << " " << round;
        ASSERT_EQ(tag, expectTag);
      }
    }
  }
  UseTagSearchLevel(TagSearchLevel::Best);
}

TEST(RoundUp4, RoundsAndRefusesOverflow) {
  uint64_t out = 0;
  ASSERT_TRUE(RoundUp4(100 + 22 + 5, out));
  EXPECT_EQ(out, 128u);
  ASSERT_TRUE(RoundUp4(128, out));
  EXPECT_EQ(out, 128u);
  EXPECT_FALSE(RoundUp4(UINT64_MAX - 1, out));
}
