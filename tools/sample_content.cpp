#include "sample_content.h"

#include <algorithm>

namespace fixture {

namespace {
uint32_t Next(uint32_t& state) {
  state ^= state << 13;
  state ^= state >> 17;
  state ^= state << 5;
  return state;
}
}  // namespace

Bytes TextContent(size_t size, uint32_t seed) {
  static const char* const kWords[] = {"the",    "backup", "file",  "of",     "recovered", "data",  "and",
                                       "volume", "set",    "tape",  "report", "quarterly", "sales", "is",
                                       "in",     "a",      "to",    "folder", "system",    "with",  "for"};
  uint32_t state = seed * 2654435761u + 1;
  Bytes out;
  out.reserve(size + 16);
  int column = 0;
  while (out.size() < size) {
    const char* w = kWords[Next(state) % (sizeof kWords / sizeof kWords[0])];
    for (const char* p = w; *p; ++p) out.push_back(uint8_t(*p));
    column += 1;
    if (column > 10 + int(Next(state) % 5)) {
      out.push_back('\r');
      out.push_back('\n');
      column = 0;
    } else {
      out.push_back(' ');
    }
  }
  out.resize(size);
  return out;
}

Bytes BinaryContent(size_t size, uint32_t seed) {
  uint32_t state = seed * 2246822519u + 7;
  Bytes out;
  out.reserve(size);
  while (out.size() < size) {
    switch (Next(state) % 4) {
      case 0:  // a run
        out.insert(out.end(), 4 + Next(state) % 60, uint8_t(Next(state)));
        break;
      case 1:  // small little-endian integers
        for (int i = 0; i < 16; ++i) {
          const uint32_t v = Next(state) % 300;
          for (int b = 0; b < 4; ++b) out.push_back(uint8_t(v >> (8 * b)));
        }
        break;
      case 2:  // a repeat of something recent
        if (out.size() > 64) {
          const size_t back = 1 + Next(state) % std::min<size_t>(out.size() - 1, 1500);
          const size_t len = 3 + Next(state) % 40;
          for (size_t i = 0; i < len; ++i) out.push_back(out[out.size() - back]);
        }
        break;
      default:  // noise
        for (int i = 0; i < 24; ++i) out.push_back(uint8_t(Next(state)));
        break;
    }
  }
  out.resize(size);
  return out;
}

Bytes NoiseContent(size_t size, uint32_t seed) {
  uint32_t state = seed * 3266489917u + 3;
  Bytes out(size);
  for (auto& b : out) b = uint8_t(Next(state) >> 7);
  return out;
}

}  // namespace fixture
