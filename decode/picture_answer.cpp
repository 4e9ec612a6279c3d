#include "picture_answer.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "byte_reader.h"

namespace picture {
namespace {

bool WriteAll(int fd, const void* data, size_t size) {
  const auto* p = static_cast<const uint8_t*>(data);
  while (size > 0) {
    const ssize_t n = ::write(fd, p, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    p += n;
    size -= size_t(n);
  }
  return true;
}

void PutLe32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = uint8_t(v >> (8 * i));
}

}  // namespace

bool WriteAnswer(int fd, const Image& image) {
  if (image.Empty() || image.pixels.size() != size_t(image.width) * size_t(image.height)) return false;
  return WriteAnswer(fd, image.width, image.height,
                     [&](int y) { return image.pixels.data() + size_t(y) * size_t(image.width); });
}

bool WriteAnswer(int fd, int width, int height, const std::function<const uint32_t*(int)>& row) {
  if (width <= 0 || height <= 0 || uint64_t(width) * uint64_t(height) > kMaxPixels) return false;
  uint8_t header[kAnswerHeader] = {'Q', 'P', 'I', 'C'};
  PutLe32(header + 4, uint32_t(width));
  PutLe32(header + 8, uint32_t(height));
  if (!WriteAll(fd, header, sizeof header)) return false;
  // Rows are gathered into writes of about 1 MiB.
  std::vector<uint32_t> chunk;
  const size_t rowsPerWrite = std::max<size_t>(1, (size_t(1) << 18) / size_t(width));
  for (int y = 0; y < height;) {
    chunk.clear();
    for (size_t n = 0; n < rowsPerWrite && y < height; ++n, ++y) {
      const uint32_t* r = row(y);
      chunk.insert(chunk.end(), r, r + width);
    }
    if (!WriteAll(fd, chunk.data(), chunk.size() * sizeof(uint32_t))) return false;
  }
  return true;
}

std::optional<AnswerSize> CheckAnswer(std::span<const uint8_t> answer) {
  if (answer.size() < kAnswerHeader) return std::nullopt;
  uint8_t header[kAnswerHeader];
  std::memcpy(header, answer.data(), kAnswerHeader);
  return CheckAnswerHeader(header, answer.size());
}

std::optional<AnswerSize> CheckAnswerHeader(const uint8_t (&header)[kAnswerHeader], uint64_t answerSize) {
  if (answerSize < kAnswerHeader || std::memcmp(header, "QPIC", 4) != 0) return std::nullopt;
  const uint64_t width = Le32(header + 4), height = Le32(header + 8);
  if (width == 0 || height == 0 || width * height > kMaxPixels) return std::nullopt;
  if (answerSize - kAnswerHeader != width * height * 4) return std::nullopt;
  return AnswerSize{int(width), int(height)};
}

}  // namespace picture
