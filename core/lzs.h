#pragma once
// LZS (Stac, ANSI X3.241) decoding of one software-compressed frame.
//
// The bit stream is read most significant bit first. 0 + 8 bits: a literal
// byte. 1: a copy from the history; the next bit selects a 7-bit (1) or an
// 11-bit (0) offset, a 7-bit offset of 0 is the end marker. The length:
// 00, 01, 10 = 2, 3, 4; 1100, 1101, 1110 = 5, 6, 7; 1111 = 8 plus the 4-bit
// values that follow, added while each is 15.

#include <cstddef>
#include <cstdint>

namespace lzs {

// A copy reaches at most this far back.
inline constexpr size_t kHistorySize = 2048;

// Decodes one frame on its own, with its own history: `inSize` bytes of
// `in` into at most `outCapacity` bytes of `out`. Stops at the end marker,
// when the input is used up (a code cut short by the end of the input is
// dropped), when `outCapacity` bytes are produced, or at a copy that reaches
// back before the frame's first byte (a damaged frame). Never reads outside
// the input nor writes outside the output. Returns the bytes produced.
size_t Decode(const uint8_t* in, size_t inSize, uint8_t* out, size_t outCapacity);

}  // namespace lzs
