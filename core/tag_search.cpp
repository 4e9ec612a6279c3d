#include "tag_search.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {
constexpr const char* kBlockTags[TagTable::kBlockCount] = {"TAPE", "SSET", "VOLB", "DIRB", "FILE",
                                                           "CFIL", "SFMB", "ESET", "EOTM", "ESPB"};

uint32_t Word(const char* four) {
  uint32_t w;
  std::memcpy(&w, four, 4);
  return w;
}

// Tag index at p among the selected tags, or -1.
inline int MatchAt(const uint8_t* p, uint32_t tagMask) {
  uint32_t w;
  std::memcpy(&w, p, 4);
  for (int i = 0; i < TagTable::kBlockCount; ++i) {
    if ((tagMask & BlockTagBit(i)) && w == Word(kBlockTags[i])) return i;
  }
  return -1;
}

inline bool IsFirstLetter(uint8_t b, uint32_t tagMask) {
  for (int i = 0; i < TagTable::kBlockCount; ++i) {
    if ((tagMask & BlockTagBit(i)) && b == uint8_t(kBlockTags[i][0])) return true;
  }
  return false;
}
}  // namespace

long FindFirstBlockTag(const uint8_t* data, size_t count, uint32_t tagMask, int& tag) {
  tag = -1;
  size_t k = 0;
#if defined(__SSE2__)
  // Filter on the first letter, sixteen offsets at a time; check candidates.
  uint8_t letters[TagTable::kBlockCount];
  int nLetters = 0;
  for (int i = 0; i < TagTable::kBlockCount; ++i) {
    if (!(tagMask & BlockTagBit(i))) continue;
    const uint8_t c = uint8_t(kBlockTags[i][0]);
    bool seen = false;
    for (int j = 0; j < nLetters; ++j) seen = seen || letters[j] == c;
    if (!seen) letters[nLetters++] = c;
  }
  if (nLetters == 0) return -1;
  __m128i want[TagTable::kBlockCount];
  for (int j = 0; j < nLetters; ++j) want[j] = _mm_set1_epi8(static_cast<char>(letters[j]));
  for (; k + 16 <= count; k += 16) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + k));
    __m128i hit = _mm_cmpeq_epi8(v, want[0]);
    for (int j = 1; j < nLetters; ++j) hit = _mm_or_si128(hit, _mm_cmpeq_epi8(v, want[j]));
    unsigned bits = static_cast<unsigned>(_mm_movemask_epi8(hit));
    while (bits != 0) {
      const unsigned b = static_cast<unsigned>(__builtin_ctz(bits));
      const int t = MatchAt(data + k + b, tagMask);
      if (t >= 0) {
        tag = t;
        return static_cast<long>(k + b);
      }
      bits &= bits - 1;
    }
  }
#endif
  for (; k < count; ++k) {
    if (!IsFirstLetter(data[k], tagMask)) continue;
    const int t = MatchAt(data + k, tagMask);
    if (t >= 0) {
      tag = t;
      return static_cast<long>(k);
    }
  }
  return -1;
}
