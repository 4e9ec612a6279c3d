// LZS decoding of one frame, on hand-made bit streams and on what the
// fixture encoder writes.
#include <gtest/gtest.h>

#include <string>

#include "extract_support.h"
#include "lzs.h"
#include "lzs_encoder.h"

using namespace testing_support;

namespace {

// "0 01000001 11 0000000": bits most significant first, blanks ignored,
// zero bits to the end of the last byte.
fixture::Bytes Bits(const std::string& text) {
  fixture::BitWriter w;
  for (char c : text)
    if (c == '0' || c == '1') w.Put(c == '1', 1);
  return w.Finish();
}

std::string Literal(char c) {
  std::string bits = "0";
  for (int i = 7; i >= 0; --i) bits += ((uint8_t(c) >> i) & 1) ? '1' : '0';
  return bits + " ";
}
std::string Literals(const std::string& text) {
  std::string bits;
  for (char c : text) bits += Literal(c);
  return bits;
}
std::string Offset7(unsigned offset) {
  std::string bits = "11";
  for (int i = 6; i >= 0; --i) bits += ((offset >> i) & 1) ? '1' : '0';
  return bits + " ";
}
std::string Offset11(unsigned offset) {
  std::string bits = "10";
  for (int i = 10; i >= 0; --i) bits += ((offset >> i) & 1) ? '1' : '0';
  return bits + " ";
}
const std::string kEnd = "110000000";

std::string Decode(const fixture::Bytes& in, size_t capacity = 63520) {
  std::string out(capacity, '\0');
  const size_t n = lzs::Decode(in.data(), in.size(), reinterpret_cast<uint8_t*>(out.data()), capacity);
  out.resize(n);
  return out;
}

TEST(Lzs, DecodesHandMadeStreams) {
  const std::string x300 = std::string(300, 'x');
  std::string lead;  // 300 bytes, so that an offset of 300 needs 11 bits
  for (int i = 0; i < 300; ++i) lead += char('a' + i % 26);
  std::string ab30;
  for (int i = 0; i < 30; ++i) ab30 += "ab";
  struct Case {
    const char* what;
    std::string bits;
    std::string expect;
    size_t capacity = 63520;
  };
  const Case cases[] = {
      {"literals", Literals("AB") + kEnd, "AB"},
      {"nothing but the end marker", kEnd, ""},
      {"7-bit offset", Literals("ab") + Offset7(2) + "00" + kEnd, "abab"},
      {"11-bit offset", Literals(lead) + Offset11(300) + "01" + kEnd, lead + lead.substr(0, 3)},
      {"11-bit offset below 128", Literals("abc") + Offset11(3) + "00" + kEnd, "abcab"},
      {"length 2", Literal('x') + Offset7(1) + "00" + kEnd, std::string(3, 'x')},
      {"length 3", Literal('x') + Offset7(1) + "01" + kEnd, std::string(4, 'x')},
      {"length 4", Literal('x') + Offset7(1) + "10" + kEnd, std::string(5, 'x')},
      {"length 5", Literal('x') + Offset7(1) + "1100" + kEnd, std::string(6, 'x')},
      {"length 6", Literal('x') + Offset7(1) + "1101" + kEnd, std::string(7, 'x')},
      {"length 7", Literal('x') + Offset7(1) + "1110" + kEnd, std::string(8, 'x')},
      {"length 8", Literal('x') + Offset7(1) + "1111 0000" + kEnd, std::string(9, 'x')},
      {"length 22", Literal('x') + Offset7(1) + "1111 1110" + kEnd, std::string(23, 'x')},
      {"length 23: 15 continues", Literal('x') + Offset7(1) + "1111 1111 0000" + kEnd, std::string(24, 'x')},
      {"length 41", Literal('x') + Offset7(1) + "1111 1111 1111 0011" + kEnd, std::string(42, 'x')},
      {"overlapping copy", Literals("abc") + Offset7(3) + "1111 0010" + kEnd, "abcabcabcabca"},
      {"long overlapping copy, 11-bit offset", Literals("ab") + Offset11(2) + "1111 1111 1111 1111 0101" + kEnd, ab30},
      {"bytes after the end marker are ignored", Literals("A") + kEnd + Literals("B"), "A"},
      {"input used up without end marker", Literals("xyz"), "xyz"},
      // The streams below end 1 to 7 bits before a byte boundary; the zero
      // bits that fill the last byte do not complete the code.
      {"a literal cut short by the end of the input", Literals("A") + "0010", "A"},
      {"a copy cut short in its length", Literals("ab") + Offset11(2), "ab"},
      {"a length extension cut short", Literals("ab") + Offset7(2) + "1111", "ab"},
      {"decoded size reached", Literals("abcd") + kEnd, "ab", 2},
      {"a copy longer than the room left", Literal('x') + Offset7(1) + "1111 1110" + kEnd, x300.substr(0, 10), 10},
      {"an offset before the frame's first byte", Literals("ab") + Offset7(3) + "00" + Literals("c") + kEnd, "ab"},
      {"an 11-bit offset of 0", Literals("ab") + Offset11(0) + "00" + Literals("c") + kEnd, "ab"},
  };
  for (const Case& c : cases) EXPECT_EQ(Decode(Bits(c.bits), c.capacity), c.expect) << c.what;
}

TEST(Lzs, DecodesWhatTheEncoderWrites) {
  struct Case {
    const char* what;
    fixture::Bytes data;
  };
  const Case cases[] = {
      {"empty", {}},
      {"one byte", {0x42}},
      {"text", TextContent(63520, 3)},
      {"binary", BinaryContent(40000, 4)},
      {"noise", NoiseContent(5000, 5)},
      {"zeros", fixture::Bytes(63520, 0)},
      {"short period", fixture::FromText(std::string(7000, 'a') + "abcabcabcabcabcabd" + std::string(900, 'q'))},
  };
  for (const Case& c : cases) {
    const fixture::Bytes packed = fixture::LzsEncode(c.data);
    fixture::Bytes out(c.data.size() + 64, 0xEE);
    const size_t n = lzs::Decode(packed.data(), packed.size(), out.data(), c.data.size());
    out.resize(n);
    EXPECT_EQ(out, c.data) << c.what;
  }
  // Copies whose 8-byte pieces would run past a tight output end.
  for (size_t size = 1; size < 80; ++size) {
    fixture::Bytes data = TextContent(size, uint32_t(size));
    for (size_t i = 20; i < data.size(); ++i) data[i] = data[i - 10];
    const fixture::Bytes packed = fixture::LzsEncode(data);
    fixture::Bytes out(data.size());
    ASSERT_EQ(lzs::Decode(packed.data(), packed.size(), out.data(), out.size()), data.size());
    ASSERT_EQ(out, data) << size;
  }
}

}  // namespace
