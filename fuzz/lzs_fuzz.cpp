// LZS decoding of arbitrary bytes into an output buffer of a size taken from
// the first two bytes, and the round trip of the encoder's frame of the bytes.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <span>

#include "lzs.h"
#include "lzs_encoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const size_t capacity = (size_t(data[0]) | (size_t(data[1]) << 8)) % 63521;
  // Exactly sized, so that a write past the end is caught.
  std::unique_ptr<uint8_t[]> out(new uint8_t[capacity ? capacity : 1]);
  const size_t produced = lzs::Decode(data + 2, size - 2, out.get(), capacity);
  if (produced > capacity) std::abort();

  const size_t plain = size < 63520 ? size : 63520;
  const fixture::Bytes packed = fixture::LzsEncode(std::span<const uint8_t>(data, plain));
  std::unique_ptr<uint8_t[]> in(new uint8_t[packed.size() ? packed.size() : 1]);
  if (!packed.empty()) std::memcpy(in.get(), packed.data(), packed.size());
  std::unique_ptr<uint8_t[]> back(new uint8_t[plain ? plain : 1]);
  if (lzs::Decode(in.get(), packed.size(), back.get(), plain) != plain) std::abort();
  if (plain && std::memcmp(back.get(), data, plain) != 0) std::abort();
  return 0;
}
