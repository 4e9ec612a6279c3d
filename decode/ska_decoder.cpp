#include "byte_reader.h"
#include "own_decoders.h"

namespace picture {

Decoded DecodeSka(Bytes file) {
  constexpr size_t kHeader = 9, kPalette = 768;
  if (file.size() < kHeader + kPalette) return std::nullopt;
  const uint8_t* p = file.data();
  const uint32_t width = Le16(p), height = Le16(p + 2);
  if (p[4] != 3 || p[5] != 0 || p[6] != 0 || p[7] != 0 || p[8] != 1) return std::nullopt;
  if (width == 0 || height == 0 || width > 32767 || height > 32767) return std::nullopt;
  const uint64_t count = uint64_t(width) * height;
  if (file.size() - kHeader - kPalette < count) return std::nullopt;
  auto image = MakeImage(width, height);
  if (!image) return std::nullopt;
  uint32_t palette[256];
  for (int i = 0; i < 256; ++i) {
    const uint8_t* e = p + kHeader + 3 * i;
    palette[i] = Rgb(e[0], e[1], e[2]);
  }
  const uint8_t* index = p + kHeader + kPalette;
  for (uint64_t i = 0; i < count; ++i) image->pixels[i] = palette[index[i]];
  return image;
}

}  // namespace picture
