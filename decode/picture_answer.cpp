#include "picture_answer.h"

#include <unistd.h>

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
  uint8_t header[kAnswerHeader] = {'Q', 'P', 'I', 'C'};
  PutLe32(header + 4, uint32_t(image.width));
  PutLe32(header + 8, uint32_t(image.height));
  return WriteAll(fd, header, sizeof header) &&
         WriteAll(fd, image.pixels.data(), image.pixels.size() * sizeof(uint32_t));
}

std::optional<AnswerSize> CheckAnswer(std::span<const uint8_t> answer) {
  if (answer.size() < kAnswerHeader || std::memcmp(answer.data(), "QPIC", 4) != 0) return std::nullopt;
  const uint64_t width = Le32(answer.data() + 4), height = Le32(answer.data() + 8);
  if (width == 0 || height == 0 || width * height > kMaxPixels) return std::nullopt;
  if (answer.size() - kAnswerHeader != width * height * 4) return std::nullopt;
  return AnswerSize{int(width), int(height)};
}

}  // namespace picture
