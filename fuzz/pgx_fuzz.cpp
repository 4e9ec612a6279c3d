// DecodePgx on arbitrary bytes: never a read outside the file, and a picture
// it answers holds exactly width x height pixels.
#include <cstdint>
#include <cstdlib>

#include "own_decoders.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const auto image = picture::DecodePgx(picture::Bytes(data, size));
  if (image && (image->Empty() || image->pixels.size() != size_t(image->width) * size_t(image->height)))
    std::abort();
  return 0;
}
