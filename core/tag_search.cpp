#include "tag_search.h"

#include <algorithm>
#include <cstring>

#if defined(__x86_64__) || defined(__SSE2__)
#include <immintrin.h>
#define QUILLON_X86 1
#endif

namespace {
constexpr const char* kBlockTags[TagTable::kBlockCount] = {"TAPE", "SSET", "VOLB", "DIRB", "FILE",
                                                           "CFIL", "SFMB", "ESET", "EOTM", "ESPB"};
constexpr uint32_t kStandardMask = kAllBlockTags & ~BlockTagBit(kBlockCfil) & ~BlockTagBit(kBlockSfmb);

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

long ScalarSearch(const uint8_t* data, size_t from, size_t count, uint32_t tagMask, int& tag) {
  for (size_t k = from; k < count; ++k) {
    const int t = MatchAt(data + k, tagMask);
    if (t >= 0) {
      tag = t;
      return static_cast<long>(k);
    }
  }
  return -1;
}

// Checks the offsets whose bits are set, lowest first.
inline long CheckCandidates(const uint8_t* data, size_t base, uint64_t bits, uint32_t tagMask, int& tag) {
  while (bits != 0) {
    const unsigned b = static_cast<unsigned>(__builtin_ctzll(bits));
    const int t = MatchAt(data + base + b, tagMask);
    if (t >= 0) {
      tag = t;
      return static_cast<long>(base + b);
    }
    bits &= bits - 1;
  }
  return -1;
}

#if QUILLON_X86
// The vector filters compare the first two letters of every offset at once:
// TA SS VO DI FI ES EO, plus CF and SF when CFIL and SFMB are wanted. Offsets
// that pass are checked in full.
template <bool kWithCfilSfmb>
long SearchSse2(const uint8_t* data, size_t count, uint32_t tagMask, int& tag) {
  const __m128i T = _mm_set1_epi8('T'), S = _mm_set1_epi8('S'), V = _mm_set1_epi8('V'),
                D = _mm_set1_epi8('D'), F = _mm_set1_epi8('F'), E = _mm_set1_epi8('E'),
                C = _mm_set1_epi8('C'), A = _mm_set1_epi8('A'), O = _mm_set1_epi8('O'),
                I = _mm_set1_epi8('I');
  size_t k = 0;
  for (; k + 16 <= count; k += 16) {
    const __m128i v0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + k));
    const __m128i v1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + k + 1));
    const __m128i e0 = _mm_cmpeq_epi8(v0, E), s0 = _mm_cmpeq_epi8(v0, S), s1 = _mm_cmpeq_epi8(v1, S);
    __m128i hit = _mm_and_si128(_mm_cmpeq_epi8(v0, T), _mm_cmpeq_epi8(v1, A));
    hit = _mm_or_si128(hit, _mm_and_si128(_mm_or_si128(s0, e0), s1));
    hit = _mm_or_si128(hit, _mm_and_si128(_mm_or_si128(_mm_cmpeq_epi8(v0, V), e0), _mm_cmpeq_epi8(v1, O)));
    hit = _mm_or_si128(hit, _mm_and_si128(_mm_or_si128(_mm_cmpeq_epi8(v0, D), _mm_cmpeq_epi8(v0, F)),
                                          _mm_cmpeq_epi8(v1, I)));
    if constexpr (kWithCfilSfmb)
      hit = _mm_or_si128(hit, _mm_and_si128(_mm_or_si128(_mm_cmpeq_epi8(v0, C), s0), _mm_cmpeq_epi8(v1, F)));
    const unsigned bits = static_cast<unsigned>(_mm_movemask_epi8(hit));
    if (bits != 0) {
      const long found = CheckCandidates(data, k, bits, tagMask, tag);
      if (found >= 0) return found;
    }
  }
  return ScalarSearch(data, k, count, tagMask, tag);
}

// The offsets from `from` on that a wider filter leaves, sixteen at a time.
template <bool kWithCfilSfmb>
long SearchRestSse2(const uint8_t* data, size_t from, size_t count, uint32_t tagMask, int& tag) {
  int t = -1;
  const long rest = SearchSse2<kWithCfilSfmb>(data + from, count - from, tagMask, t);
  if (rest < 0) return -1;
  tag = t;
  return static_cast<long>(from) + rest;
}

// With 32-byte vectors the two letters are classified through nibble tables:
// the first letter's class bits and the second letter's class bits share a
// bit exactly for the pairs above (plus a few near misses such as "EC",
// which the full check drops).
//   bits: 0 TA, 1 SS, 2 VO, 3 DI, 4 FI, 5 CF, 6 SF, 7 ES/EO
template <bool kWithCfilSfmb>
__attribute__((target("avx2"))) long SearchAvx2(const uint8_t* data, size_t count, uint32_t tagMask, int& tag) {
  constexpr uint8_t cf = kWithCfilSfmb ? 0x20 : 0, sf = kWithCfilSfmb ? 0x40 : 0;
  // First letters T S V D F C E.
  const __m256i lo1 = _mm256_setr_epi8(0, 0, 0, char(0x02 | sf | cf), char(0x01 | 0x08), char(0x80), char(0x04 | 0x10),
                                       0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, char(0x02 | sf | cf),
                                       char(0x01 | 0x08), char(0x80), char(0x04 | 0x10), 0, 0, 0, 0, 0, 0, 0, 0, 0);
  const __m256i hi1 = _mm256_setr_epi8(0, 0, 0, 0, char(0x08 | 0x10 | cf | 0x80), char(0x01 | 0x02 | sf | 0x04), 0, 0,
                                       0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, char(0x08 | 0x10 | cf | 0x80),
                                       char(0x01 | 0x02 | sf | 0x04), 0, 0, 0, 0, 0, 0, 0, 0, 0, 0);
  // Second letters A S O I F.
  const __m256i lo2 = _mm256_setr_epi8(0, 0x01, 0, char(0x02 | 0x80), 0, 0, char(cf | sf), 0, 0, char(0x08 | 0x10), 0, 0,
                                       0, 0, 0, char(0x04 | 0x80), 0, 0x01, 0, char(0x02 | 0x80), 0, 0, char(cf | sf),
                                       0, 0, char(0x08 | 0x10), 0, 0, 0, 0, 0, char(0x04 | 0x80));
  const __m256i hi2 = _mm256_setr_epi8(0, 0, 0, 0, char(0x01 | 0x04 | 0x08 | 0x10 | cf | sf | 0x80), char(0x02 | 0x80),
                                       0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                       char(0x01 | 0x04 | 0x08 | 0x10 | cf | sf | 0x80), char(0x02 | 0x80), 0, 0, 0,
                                       0, 0, 0, 0, 0, 0, 0);
  const __m256i nibble = _mm256_set1_epi8(0x0F);
  const __m256i zero = _mm256_setzero_si256();
  auto classify = [&](__m256i v, __m256i lo, __m256i hi) __attribute__((target("avx2"))) {
    const __m256i l = _mm256_shuffle_epi8(lo, _mm256_and_si256(v, nibble));
    const __m256i h = _mm256_shuffle_epi8(hi, _mm256_and_si256(_mm256_srli_epi16(v, 4), nibble));
    return _mm256_and_si256(l, h);
  };
  size_t k = 0;
  for (; k + 32 <= count; k += 32) {
    const __m256i v0 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(data + k));
    const __m256i v1 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(data + k + 1));
    const __m256i both = _mm256_and_si256(classify(v0, lo1, hi1), classify(v1, lo2, hi2));
    const unsigned miss = static_cast<unsigned>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(both, zero)));
    if (miss != 0xFFFFFFFFu) {
      const long found = CheckCandidates(data, k, ~miss & 0xFFFFFFFFu, tagMask, tag);
      if (found >= 0) return found;
    }
  }
  return SearchRestSse2<kWithCfilSfmb>(data, k, count, tagMask, tag);  // fewer than 32 offsets left
}

// With 64-byte vectors and byte permutes, each letter's class bits come from
// one 64-entry table lookup for the bytes 0x40-0x7F (where all tag letters
// are); bytes outside that range have no class. The classes are those of the
// 32-byte filter, so only the letter pairs above (and no near misses) pass to
// the full check. Two vectors are filtered per turn, with one branch.
struct LetterClasses {
  alignas(64) uint8_t first[64];
  alignas(64) uint8_t second[64];
};
template <bool kWithCfilSfmb>
constexpr LetterClasses MakeLetterClasses() {
  LetterClasses c{};
  constexpr uint8_t cf = kWithCfilSfmb ? 0x20 : 0, sf = kWithCfilSfmb ? 0x40 : 0;
  c.first['T' - 0x40] = 0x01;
  c.first['S' - 0x40] = 0x02 | sf;
  c.first['V' - 0x40] = 0x04;
  c.first['D' - 0x40] = 0x08;
  c.first['F' - 0x40] = 0x10;
  c.first['C' - 0x40] = cf;
  c.first['E' - 0x40] = 0x80;
  c.second['A' - 0x40] = 0x01;
  c.second['S' - 0x40] = 0x02 | 0x80;
  c.second['O' - 0x40] = 0x04 | 0x80;
  c.second['I' - 0x40] = 0x08 | 0x10;
  c.second['F' - 0x40] = cf | sf;
  return c;
}
template <bool kWithCfilSfmb>
constexpr LetterClasses kLetterClasses = MakeLetterClasses<kWithCfilSfmb>();

// (GCC 12 takes the permute's unused merge operand for an uninitialised value.)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
template <bool kWithCfilSfmb>
__attribute__((target("avx512f,avx512bw,avx512vbmi"))) long SearchAvx512(const uint8_t* data, size_t count,
                                                                         uint32_t tagMask, int& tag) {
  const __m512i firstTable = _mm512_load_si512(kLetterClasses<kWithCfilSfmb>.first);
  const __m512i secondTable = _mm512_load_si512(kLetterClasses<kWithCfilSfmb>.second);
  const __m512i topBits = _mm512_set1_epi8(char(0xC0)), letters = _mm512_set1_epi8(0x40);
  auto filter = [&](const uint8_t* p) __attribute__((target("avx512f,avx512bw,avx512vbmi"))) {
    const __m512i v0 = _mm512_loadu_si512(p);
    const __m512i v1 = _mm512_loadu_si512(p + 1);
    __mmask64 m = _mm512_test_epi8_mask(_mm512_permutexvar_epi8(v0, firstTable),
                                        _mm512_permutexvar_epi8(v1, secondTable));
    m = _mm512_mask_cmpeq_epi8_mask(m, _mm512_and_si512(v0, topBits), letters);
    return uint64_t(_mm512_mask_cmpeq_epi8_mask(m, _mm512_and_si512(v1, topBits), letters));
  };
  size_t k = 0;
  for (; k + 128 <= count; k += 128) {
    const uint64_t a = filter(data + k), b = filter(data + k + 64);
    if ((a | b) == 0) continue;
    long found = a ? CheckCandidates(data, k, a, tagMask, tag) : -1;
    if (found < 0 && b) found = CheckCandidates(data, k + 64, b, tagMask, tag);
    if (found >= 0) return found;
  }
  return SearchRestSse2<kWithCfilSfmb>(data, k, count, tagMask, tag);  // fewer than 128 offsets left
}
#pragma GCC diagnostic pop

TagSearchLevel g_ceiling = TagSearchLevel::Best;

TagSearchLevel MachineLevel() {
  static const TagSearchLevel level = [] {
    __builtin_cpu_init();
    if (__builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
        __builtin_cpu_supports("avx512vbmi"))
      return TagSearchLevel::Avx512;
    if (__builtin_cpu_supports("avx2")) return TagSearchLevel::Avx2;
    return TagSearchLevel::Sse2;
  }();
  return level;
}
#endif
}  // namespace

TagSearchLevel UseTagSearchLevel(TagSearchLevel ceiling) {
#if QUILLON_X86
  g_ceiling = ceiling;
  return std::min(ceiling, MachineLevel());
#else
  (void)ceiling;
  return TagSearchLevel::Scalar;
#endif
}

long FindFirstBlockTag(const uint8_t* data, size_t count, uint32_t tagMask, int& tag) {
  tag = -1;
#if QUILLON_X86
  if (tagMask == kAllBlockTags || tagMask == kStandardMask) {
    const bool all = tagMask == kAllBlockTags;
    switch (std::min(g_ceiling, MachineLevel())) {
      case TagSearchLevel::Avx512:
      case TagSearchLevel::Best:
        return all ? SearchAvx512<true>(data, count, tagMask, tag) : SearchAvx512<false>(data, count, tagMask, tag);
      case TagSearchLevel::Avx2:
        return all ? SearchAvx2<true>(data, count, tagMask, tag) : SearchAvx2<false>(data, count, tagMask, tag);
      case TagSearchLevel::Sse2:
        return all ? SearchSse2<true>(data, count, tagMask, tag) : SearchSse2<false>(data, count, tagMask, tag);
      case TagSearchLevel::Scalar:
        break;
    }
  }
#endif
  return ScalarSearch(data, 0, count, tagMask, tag);
}
