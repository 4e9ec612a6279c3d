#include <algorithm>

#include "byte_reader.h"
#include "own_decoders.h"

namespace picture {
namespace {

// One pixel of depth bits at p as 0xAARRGGBB (alpha ignored: the preview
// shows pictures opaque on white).
uint32_t TrueColour(const uint8_t* p, uint32_t depth) {
  switch (depth) {
    case 15:
    case 16: {
      const uint32_t v = Le16(p);
      const uint32_t r = (v >> 10) & 31, g = (v >> 5) & 31, b = v & 31;
      return Rgb(r * 255 / 31, g * 255 / 31, b * 255 / 31);
    }
    case 24:
    case 32: return Rgb(p[2], p[1], p[0]);
    default: return Gray(p[0]);
  }
}

}  // namespace

Decoded DecodeTga(Bytes file) {
  if (file.size() < 18) return std::nullopt;
  const uint8_t* h = file.data();
  const uint32_t idLength = h[0], mapType = h[1], type = h[2];
  const uint32_t mapFirst = Le16(h + 3), mapLength = Le16(h + 5), mapDepth = h[7];
  const uint32_t width = Le16(h + 12), height = Le16(h + 14), depth = h[16], descriptor = h[17];
  const uint32_t base = type & ~8u;
  const bool rle = (type & 8) != 0;
  if (type != 1 && type != 2 && type != 3 && type != 9 && type != 10 && type != 11) return std::nullopt;
  if (mapType > 1 || (descriptor & 0xC0) != 0 || width == 0 || height == 0) return std::nullopt;
  if (base == 1 && (mapType != 1 || depth != 8 || mapLength == 0 || mapFirst + mapLength > 256 ||
                    (mapDepth != 15 && mapDepth != 16 && mapDepth != 24 && mapDepth != 32)))
    return std::nullopt;
  if (base == 2 && depth != 15 && depth != 16 && depth != 24 && depth != 32) return std::nullopt;
  if (base == 3 && depth != 8) return std::nullopt;
  if (mapType == 1 && mapDepth != 15 && mapDepth != 16 && mapDepth != 24 && mapDepth != 32) return std::nullopt;

  const size_t mapBytes = mapType == 1 ? size_t(mapLength) * ((mapDepth + 7) / 8) : 0;
  size_t pos = 18 + idLength;
  if (file.size() < pos || file.size() - pos < mapBytes) return std::nullopt;
  uint32_t palette[256];
  std::fill(palette, palette + 256, 0xFF000000u);
  for (uint32_t i = 0; base == 1 && i < mapLength; ++i)
    palette[mapFirst + i] = TrueColour(file.data() + pos + i * ((mapDepth + 7) / 8), mapDepth);
  pos += mapBytes;

  const uint32_t bytesPerPixel = (depth + 7) / 8;
  const uint64_t count = uint64_t(width) * height;
  const size_t left = file.size() - pos;
  // A run packet of 1 + bytesPerPixel bytes gives at most 128 pixels.
  if (rle ? count / 128 > left + 1 : count * bytesPerPixel > left) return std::nullopt;
  auto image = MakeImage(width, height);
  if (!image) return std::nullopt;

  auto colour = [&](const uint8_t* p) { return base == 1 ? palette[p[0]] : TrueColour(p, depth); };
  const bool topDown = (descriptor & 0x20) != 0, rightToLeft = (descriptor & 0x10) != 0;
  auto put = [&](uint64_t i, uint32_t c) {
    uint32_t x = uint32_t(i % width), y = uint32_t(i / width);
    if (!topDown) y = height - 1 - y;
    if (rightToLeft) x = width - 1 - x;
    image->pixels[size_t(y) * width + x] = c;
  };
  const uint8_t* p = file.data() + pos;
  const uint8_t* end = file.data() + file.size();
  for (uint64_t i = 0; i < count;) {
    if (!rle) {
      put(i++, colour(p));
      p += bytesPerPixel;
      continue;
    }
    if (p >= end) return std::nullopt;
    const uint8_t packet = *p++;
    const uint64_t n = std::min<uint64_t>((packet & 0x7F) + 1, count - i);
    if (packet & 0x80) {
      if (size_t(end - p) < bytesPerPixel) return std::nullopt;
      const uint32_t c = colour(p);
      p += bytesPerPixel;
      for (uint64_t k = 0; k < n; ++k) put(i++, c);
    } else {
      if (uint64_t(end - p) < n * bytesPerPixel) return std::nullopt;
      for (uint64_t k = 0; k < n; ++k, p += bytesPerPixel) put(i++, colour(p));
    }
  }
  return image;
}

}  // namespace picture
