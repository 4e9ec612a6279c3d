#pragma once
// The scanners' search of a window for the first descriptor-block tag.

#include <cstddef>
#include <cstdint>

#include "mtf.h"

// Bit i selects block tag index i.
constexpr uint32_t BlockTagBit(int index) { return 1u << index; }
constexpr uint32_t kAllBlockTags = (1u << TagTable::kBlockCount) - 1;

// Bytes a search reads past its last offset: a tag there is read whole.
inline constexpr size_t kTagReadTail = 3;

// Returns the first offset k in [0, count) at which the four bytes are one of
// the block tags selected by tagMask, and that tag's index in `tag`; -1 when
// there is none. `data` must hold count + kTagReadTail readable bytes. The result is the
// same as calling FindBlockTag at every offset in turn.
long FindFirstBlockTag(const uint8_t* data, size_t count, uint32_t tagMask, int& tag);

// The vector widths the search may use, narrowest first.
enum class TagSearchLevel { Scalar, Sse2, Avx2, Avx512, Best };

// Caps the vectors the search uses (so every path can be checked on one
// machine); returns the level now in use.
TagSearchLevel UseTagSearchLevel(TagSearchLevel ceiling);
