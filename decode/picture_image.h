#pragma once
// A decoded picture: 32-bit pixels 0xAARRGGBB, rows top to bottom, no padding.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace picture {

// No decoder of ours makes a picture with more pixels than this (256 MiB of
// pixels), however large the header says it is.
inline constexpr uint64_t kMaxPixels = 64ull * 1024 * 1024;

struct Image {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;

  bool Empty() const { return width <= 0 || height <= 0; }
  uint32_t* Row(int y) { return pixels.data() + size_t(y) * size_t(width); }
};

using Bytes = std::span<const uint8_t>;
using Decoded = std::optional<Image>;

// An image of width x height opaque black pixels, or none when it would be
// larger than kMaxPixels (or empty).
std::optional<Image> MakeImage(uint64_t width, uint64_t height);

inline constexpr uint32_t Rgb(uint32_t r, uint32_t g, uint32_t b) {
  return 0xFF000000u | (r << 16) | (g << 8) | b;
}
inline constexpr uint32_t Gray(uint32_t v) { return Rgb(v, v, v); }

}  // namespace picture
