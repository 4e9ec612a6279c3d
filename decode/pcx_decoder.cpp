#include <algorithm>
#include <cstring>

#include "byte_reader.h"
#include "own_decoders.h"

namespace picture {
namespace {

constexpr size_t kHeader = 128;
constexpr size_t kVgaPalette = 769;  // 0x0C, then 256 RGB triples

// Decodes the run-length stream into exactly out.size() bytes. Runs may
// cross the end of a scan line. False when the data end first.
bool ExpandRuns(Bytes in, std::vector<uint8_t>& out) {
  size_t i = 0, o = 0;
  const size_t n = out.size();
  while (o < n) {
    if (i >= in.size()) return false;
    const uint8_t b = in[i++];
    if ((b & 0xC0) != 0xC0) {
      out[o++] = b;
      continue;
    }
    if (i >= in.size()) return false;
    const size_t run = std::min<size_t>(b & 0x3F, n - o);
    std::memset(out.data() + o, in[i++], run);
    o += run;
  }
  return true;
}

}  // namespace

Decoded DecodePcx(Bytes file) {
  if (file.size() <= kHeader) return std::nullopt;
  const uint8_t* h = file.data();
  const uint8_t version = h[1], encoding = h[2], bits = h[3];
  if (h[0] != 0x0A || version > 5 || version == 1 || encoding > 1 || h[64] != 0) return std::nullopt;
  const uint16_t xMin = Le16(h + 4), yMin = Le16(h + 6), xMax = Le16(h + 8), yMax = Le16(h + 10);
  const uint8_t planes = h[65];
  const uint32_t bytesPerLine = Le16(h + 66);
  if (xMax < xMin || yMax < yMin) return std::nullopt;
  const uint32_t width = uint32_t(xMax - xMin) + 1, height = uint32_t(yMax - yMin) + 1;
  const bool mono = bits == 1 && planes == 1;
  const bool ega = bits == 1 && planes == 4;
  const bool nibble = bits == 4 && planes == 1;
  const bool indexed = bits == 8 && planes == 1;
  const bool rgb = bits == 8 && (planes == 3 || planes == 4);
  if (!mono && !ega && !nibble && !indexed && !rgb) return std::nullopt;
  if (bytesPerLine == 0 || uint64_t(bytesPerLine) * 8 < uint64_t(width) * bits) return std::nullopt;

  // The 256-colour palette of version 5 follows the pixel data.
  Bytes data = file.subspan(kHeader);
  uint32_t palette[256];
  for (int i = 0; i < 256; ++i) palette[i] = Gray(uint32_t(i));
  if (indexed && version == 5 && file.size() >= kHeader + kVgaPalette &&
      file[file.size() - kVgaPalette] == 0x0C) {
    const uint8_t* p = file.data() + file.size() - kVgaPalette + 1;
    for (int i = 0; i < 256; ++i) palette[i] = Rgb(p[3 * i], p[3 * i + 1], p[3 * i + 2]);
    data = data.first(data.size() - kVgaPalette);
  } else if (ega || nibble) {
    for (int i = 0; i < 16; ++i) palette[i] = Rgb(h[16 + 3 * i], h[17 + 3 * i], h[18 + 3 * i]);
  }

  const uint64_t scanLine = uint64_t(bytesPerLine) * planes;
  const uint64_t total = scanLine * height;
  // Two bytes of a run give at most 63: refuse sizes no data could fill.
  if (encoding == 1 ? total / 32 > data.size() + 1 : total > data.size()) return std::nullopt;
  if (uint64_t(width) * height > kMaxPixels) return std::nullopt;
  std::vector<uint8_t> plain;
  const uint8_t* pixels;
  if (encoding == 1) {
    plain.resize(size_t(total));
    if (!ExpandRuns(data, plain)) return std::nullopt;
    pixels = plain.data();
  } else {
    pixels = data.data();
  }

  auto image = MakeImage(width, height);
  if (!image) return std::nullopt;
  for (uint32_t y = 0; y < height; ++y) {
    const uint8_t* line = pixels + y * scanLine;
    uint32_t* out = image->Row(int(y));
    for (uint32_t x = 0; x < width; ++x) {
      const uint8_t bit = uint8_t(7 - (x & 7));
      if (mono) {
        out[x] = ((line[x >> 3] >> bit) & 1) ? Gray(255) : Gray(0);
      } else if (ega) {
        uint32_t index = 0;
        for (uint32_t p = 0; p < 4; ++p) index |= uint32_t((line[p * bytesPerLine + (x >> 3)] >> bit) & 1) << p;
        out[x] = palette[index];
      } else if (nibble) {
        const uint8_t b = line[x >> 1];
        out[x] = palette[(x & 1) ? (b & 0x0F) : (b >> 4)];
      } else if (indexed) {
        out[x] = palette[line[x]];
      } else {
        out[x] = Rgb(line[x], line[bytesPerLine + x], line[2 * bytesPerLine + x]);
      }
    }
  }
  return image;
}

}  // namespace picture
