extern "C" {
#include <jbig.h>
}

#include "library_decoders.h"

namespace picture {

Decoded DecodeJbig(Bytes file) {
  // The 20-byte header: DL, D, P, 0, Xd, Yd, L0 (big-endian 32-bit), MX, MY,
  // order, options.
  if (file.size() < 20 || file[3] != 0 || file[2] == 0) return std::nullopt;
  jbg_dec_state state;
  jbg_dec_init(&state);
  jbg_dec_maxsize(&state, 32768, 32768);
  size_t offset = 0;
  int result = JBG_EAGAIN;
  while (offset < file.size() && (result == JBG_EAGAIN || result == JBG_EOK_INTR)) {
    size_t used = 0;
    result = jbg_dec_in(&state, const_cast<unsigned char*>(file.data() + offset), file.size() - offset, &used);
    offset += used;
    if (used == 0 && result == JBG_EAGAIN) break;
  }
  Decoded image;
  if (result == JBG_EOK && jbg_dec_getplanes(&state) >= 1) {
    const unsigned long width = jbg_dec_getwidth(&state), height = jbg_dec_getheight(&state);
    const unsigned char* bits = jbg_dec_getimage(&state, 0);
    image = MakeImage(width, height);
    if (image && bits) {
      const size_t stride = (width + 7) / 8;
      for (unsigned long y = 0; y < height; ++y) {
        uint32_t* out = image->Row(int(y));
        const unsigned char* row = bits + y * stride;
        for (unsigned long x = 0; x < width; ++x)
          out[x] = ((row[x >> 3] >> (7 - (x & 7))) & 1) ? Gray(0) : Gray(255);
      }
    } else {
      image.reset();
    }
  }
  jbg_dec_free(&state);
  return image;
}

}  // namespace picture
