#include <cstring>

#include "byte_reader.h"
#include "own_decoders.h"

namespace picture {
namespace {

constexpr uint32_t kMagic = 0x59A66A95;
enum : uint32_t { kOld = 0, kStandard = 1, kByteEncoded = 2, kRgb = 3 };

// Expands the byte-encoded runs (0x80 0 = one 0x80 byte; 0x80 n v = n + 1
// bytes v) into exactly out.size() bytes; false when the data end first.
bool ExpandRuns(Bytes in, std::vector<uint8_t>& out) {
  size_t i = 0, o = 0;
  const size_t n = out.size();
  while (o < n) {
    if (i >= in.size()) return false;
    const uint8_t b = in[i++];
    if (b != 0x80) {
      out[o++] = b;
      continue;
    }
    if (i >= in.size()) return false;
    const uint8_t count = in[i++];
    if (count == 0) {
      out[o++] = 0x80;
      continue;
    }
    if (i >= in.size()) return false;
    const uint8_t value = in[i++];
    const size_t run = std::min<size_t>(size_t(count) + 1, n - o);
    std::memset(out.data() + o, value, run);
    o += run;
  }
  return true;
}

}  // namespace

Decoded DecodeSunRaster(Bytes file) {
  if (file.size() < 32 || Be32(file.data()) != kMagic) return std::nullopt;
  const uint8_t* h = file.data();
  const uint32_t width = Be32(h + 4), height = Be32(h + 8), depth = Be32(h + 12);
  const uint32_t type = Be32(h + 20), mapType = Be32(h + 24), mapLength = Be32(h + 28);
  if (depth != 1 && depth != 8 && depth != 24 && depth != 32) return std::nullopt;
  if (type != kOld && type != kStandard && type != kByteEncoded && type != kRgb) return std::nullopt;
  if (mapType > 1 || (mapType == 0 && mapLength != 0)) return std::nullopt;
  if (mapLength > file.size() - 32) return std::nullopt;
  if (width == 0 || height == 0 || uint64_t(width) * height > kMaxPixels) return std::nullopt;

  // Colour map: all reds, then all greens, then all blues.
  uint32_t palette[256];
  const uint32_t colours = mapLength / 3;
  if (mapType == 1 && (colours == 0 || colours > 256 || mapLength % 3 != 0)) return std::nullopt;
  for (uint32_t i = 0; i < 256; ++i) {
    if (mapType == 1) {
      const uint8_t* m = h + 32;
      palette[i] = i < colours ? Rgb(m[i], m[colours + i], m[2 * colours + i]) : 0xFF000000u;
    } else {
      palette[i] = Gray(i);
    }
  }

  const uint64_t stride = ((uint64_t(width) * depth + 15) / 16) * 2;
  const uint64_t total = stride * height;
  Bytes data = file.subspan(32 + mapLength);
  std::vector<uint8_t> expanded;
  const uint8_t* pixels;
  if (type == kByteEncoded) {
    // A run of three bytes gives at most 256: refuse claims beyond that.
    if (total / 86 > data.size() + 1) return std::nullopt;
    expanded.resize(size_t(total));
    if (!ExpandRuns(data, expanded)) return std::nullopt;
    pixels = expanded.data();
  } else {
    if (data.size() < total) return std::nullopt;
    pixels = data.data();
  }

  auto image = MakeImage(width, height);
  if (!image) return std::nullopt;
  const bool rgbOrder = type == kRgb;
  for (uint32_t y = 0; y < height; ++y) {
    const uint8_t* row = pixels + y * stride;
    uint32_t* out = image->Row(int(y));
    for (uint32_t x = 0; x < width; ++x) {
      switch (depth) {
        case 1: {
          const bool set = (row[x >> 3] >> (7 - (x & 7))) & 1;
          // Without a colour map, a set bit is black.
          out[x] = mapType == 1 ? palette[set ? 1 : 0] : (set ? Gray(0) : Gray(255));
          break;
        }
        case 8: out[x] = palette[row[x]]; break;
        case 24: {
          const uint8_t* p = row + 3 * size_t(x);
          out[x] = rgbOrder ? Rgb(p[0], p[1], p[2]) : Rgb(p[2], p[1], p[0]);
          break;
        }
        default: {  // 32: a pad byte first
          const uint8_t* p = row + 4 * size_t(x);
          out[x] = rgbOrder ? Rgb(p[1], p[2], p[3]) : Rgb(p[3], p[2], p[1]);
        }
      }
    }
  }
  return image;
}

}  // namespace picture
