#include <cctype>
#include <string>

#include "own_decoders.h"

namespace picture {
namespace {

struct Cursor {
  Bytes file;
  size_t pos = 0;
  bool AtSpace() const { return pos < file.size() && (file[pos] == ' ' || file[pos] == '\t'); }
  void SkipBlanks() {
    while (AtSpace()) ++pos;
  }
  // A decimal number of at most 9 digits.
  bool Number(uint32_t& value) {
    size_t digits = 0;
    value = 0;
    while (pos < file.size() && std::isdigit(file[pos]) && digits < 9) {
      value = value * 10 + uint32_t(file[pos++] - '0');
      ++digits;
    }
    return digits > 0 && !(pos < file.size() && std::isdigit(file[pos]));
  }
};

}  // namespace

Decoded DecodePgx(Bytes file) {
  Cursor c{file};
  if (file.size() < 3 || file[0] != 'P' || file[1] != 'G') return std::nullopt;
  c.pos = 2;
  if (!c.AtSpace()) return std::nullopt;
  c.SkipBlanks();
  if (c.pos + 2 > file.size()) return std::nullopt;
  bool bigEndian;
  if (file[c.pos] == 'M' && file[c.pos + 1] == 'L') bigEndian = true;
  else if (file[c.pos] == 'L' && file[c.pos + 1] == 'M') bigEndian = false;
  else return std::nullopt;
  c.pos += 2;
  // Blanks and at most one sign, in any order before the depth.
  bool isSigned = false, sawSign = false;
  while (c.pos < file.size() && (c.AtSpace() || file[c.pos] == '+' || file[c.pos] == '-')) {
    if (file[c.pos] == '+' || file[c.pos] == '-') {
      if (sawSign) return std::nullopt;
      sawSign = true;
      isSigned = file[c.pos] == '-';
    }
    ++c.pos;
  }
  uint32_t depth, width, height;
  if (!c.Number(depth) || depth < 1 || depth > 16) return std::nullopt;
  if (!c.AtSpace()) return std::nullopt;
  c.SkipBlanks();
  if (!c.Number(width)) return std::nullopt;
  if (!c.AtSpace()) return std::nullopt;
  c.SkipBlanks();
  if (!c.Number(height)) return std::nullopt;
  // The header ends with one line break (or blank) before the samples.
  if (c.pos < file.size() && file[c.pos] == '\r') ++c.pos;
  if (c.pos >= file.size() || (file[c.pos] != '\n' && file[c.pos] != ' ')) return std::nullopt;
  ++c.pos;

  const size_t bytesPerSample = depth <= 8 ? 1 : 2;
  const uint64_t count = uint64_t(width) * height;
  if (count == 0 || count > kMaxPixels) return std::nullopt;
  if ((file.size() - c.pos) / bytesPerSample < count) return std::nullopt;
  auto image = MakeImage(width, height);
  if (!image) return std::nullopt;

  const uint32_t mask = (1u << depth) - 1;
  const uint32_t half = 1u << (depth - 1);
  const uint8_t* s = file.data() + c.pos;
  for (uint64_t i = 0; i < count; ++i, s += bytesPerSample) {
    uint32_t v = bytesPerSample == 1 ? s[0] : bigEndian ? uint32_t(s[0] << 8 | s[1]) : uint32_t(s[1] << 8 | s[0]);
    v &= mask;
    // Signed samples are two's complement; shift them to 0 .. 2^depth - 1.
    if (isSigned) v = (v ^ half) & mask;
    image->pixels[i] = Gray(mask ? (v * 255 + mask / 2) / mask : 0);
  }
  return image;
}

}  // namespace picture
