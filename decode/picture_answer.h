#pragma once
// The decoding helper's answer to a picture request: "QPIC", u32 width,
// u32 height (little-endian), then width x height pixels 0xAARRGGBB in the
// machine's byte order.

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <vector>

#include "picture_image.h"

namespace picture {

inline constexpr size_t kAnswerHeader = 12;

// Writes the answer to the descriptor; false when it could not be written.
bool WriteAnswer(int fd, const Image& image);
// The same for a picture held elsewhere: row(y) gives its width pixels.
bool WriteAnswer(int fd, int width, int height, const std::function<const uint32_t*(int)>& row);
// The size of the picture of an answer, or none when it is not a whole
// answer; its pixels follow the header.
struct AnswerSize {
  int width;
  int height;
};
std::optional<AnswerSize> CheckAnswer(std::span<const uint8_t> answer);
// The same from the header alone and the answer's whole size.
std::optional<AnswerSize> CheckAnswerHeader(const uint8_t (&header)[kAnswerHeader], uint64_t answerSize);

}  // namespace picture
