#include "picture_image.h"

namespace picture {

std::optional<Image> MakeImage(uint64_t width, uint64_t height) {
  if (width == 0 || height == 0 || width > 0x7FFFFFFF || height > 0x7FFFFFFF) return std::nullopt;
  if (width * height > kMaxPixels) return std::nullopt;
  Image image;
  image.width = int(width);
  image.height = int(height);
  image.pixels.assign(size_t(width * height), 0xFF000000u);
  return image;
}

}  // namespace picture
