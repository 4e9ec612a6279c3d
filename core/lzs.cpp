#include "lzs.h"

#include <cstring>

namespace lzs {

namespace {

// Most-significant-bit-first reader. `m_bits` holds the next bits at its top;
// `m_count` of them are valid.
class BitReader {
 public:
  BitReader(const uint8_t* in, size_t size) : m_p(in), m_end(in + size) {}

  // Tops the buffer up to at least 56 valid bits while input is left.
  void Refill() {
    if (m_end - m_p >= 8) {
      uint64_t v;
      std::memcpy(&v, m_p, 8);
      v = __builtin_bswap64(v);
      m_bits |= v >> m_count;
      // Bits of a partly taken byte are set again, to the same values, next time.
      m_p += (63 - m_count) >> 3;
      m_count |= 56;
    } else {
      while (m_count <= 56 && m_p < m_end) {
        m_bits |= uint64_t(*m_p++) << (56 - m_count);
        m_count += 8;
      }
    }
  }
  unsigned Count() const { return m_count; }
  // The next n bits (1 <= n <= 32), not consumed.
  uint32_t Peek(unsigned n) const { return static_cast<uint32_t>(m_bits >> (64 - n)); }
  void Skip(unsigned n) {
    m_bits <<= n;
    m_count -= n;
  }

 private:
  const uint8_t* m_p;
  const uint8_t* m_end;
  uint64_t m_bits = 0;
  unsigned m_count = 0;
};

}  // namespace

size_t Decode(const uint8_t* in, size_t inSize, uint8_t* out, size_t outCapacity) {
  BitReader br(in, inSize);
  size_t o = 0;
  while (o < outCapacity) {
    if (br.Count() < 32) br.Refill();
    const unsigned count = br.Count();
    // Longest code without the length extension: 1 + 1 + 11 + 4 bits.
    const uint32_t code = br.Peek(32);
    if ((code & 0x80000000u) == 0) {
      if (count < 9) break;
      out[o++] = static_cast<uint8_t>(code >> 23);
      br.Skip(9);
      continue;
    }
    size_t offset;
    unsigned used;
    if (code & 0x40000000u) {
      if (count < 9) break;
      offset = (code >> 23) & 0x7F;
      if (offset == 0) break;  // end marker
      used = 9;
    } else {
      if (count < 13) break;
      offset = (code >> 19) & 0x7FF;
      used = 13;
    }
    // Length code right after the offset.
    const uint32_t lengthBits = (code << used) >> 28;  // the next 4 bits
    size_t length;
    if (lengthBits < 12) {
      if (count < used + 2) break;
      length = 2 + (lengthBits >> 2);
      used += 2;
      br.Skip(used);
    } else {
      if (count < used + 4) break;
      used += 4;
      br.Skip(used);
      if (lengthBits != 15) {
        length = 5 + (lengthBits & 3);
      } else {
        length = 8;
        bool cut = false;
        for (;;) {
          if (br.Count() < 4) {
            br.Refill();
            if (br.Count() < 4) {
              cut = true;
              break;
            }
          }
          const uint32_t n = br.Peek(4);
          br.Skip(4);
          length += n;
          if (n != 15) break;
          if (length > outCapacity) {
            // Longer than the frame can hold anyway; the rest of the code
            // still has to be read for the stream to stay in step.
            length = outCapacity + 1;
          }
        }
        if (cut) break;
      }
    }
    if (offset == 0 || offset > o) break;  // reaches back before the frame's first byte
    const size_t room = outCapacity - o;
    const size_t n = length < room ? length : room;
    uint8_t* dst = out + o;
    const uint8_t* src = dst - offset;
    if (offset >= 8 && n + 8 <= room) {
      // Whole 8-byte pieces; the bytes written past the copy are overwritten later.
      for (size_t i = 0; i < n; i += 8) std::memcpy(dst + i, src + i, 8);
    } else {
      for (size_t i = 0; i < n; ++i) dst[i] = src[i];
    }
    o += n;
  }
  return o;
}

}  // namespace lzs
