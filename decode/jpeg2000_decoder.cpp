#include <openjpeg.h>

#include <algorithm>
#include <cstring>

#include "library_decoders.h"

namespace picture {
namespace {

constexpr uint8_t kJp2Signature[12] = {0, 0, 0, 0x0C, 'j', 'P', ' ', ' ', 0x0D, 0x0A, 0x87, 0x0A};
constexpr uint8_t kJ2kSignature[4] = {0xFF, 0x4F, 0xFF, 0x51};

struct Source {
  Bytes bytes;
  size_t pos = 0;
};

OPJ_SIZE_T Read(void* buffer, OPJ_SIZE_T size, void* user) {
  auto* s = static_cast<Source*>(user);
  const size_t n = std::min<size_t>(size, s->bytes.size() - s->pos);
  if (n == 0) return OPJ_SIZE_T(-1);
  std::memcpy(buffer, s->bytes.data() + s->pos, n);
  s->pos += n;
  return n;
}
OPJ_OFF_T Skip(OPJ_OFF_T count, void* user) {
  auto* s = static_cast<Source*>(user);
  if (count < 0) {
    const size_t back = std::min<size_t>(size_t(-count), s->pos);
    s->pos -= back;
    return -OPJ_OFF_T(back);
  }
  const size_t n = std::min<size_t>(size_t(count), s->bytes.size() - s->pos);
  s->pos += n;
  return OPJ_OFF_T(n);
}
OPJ_BOOL Seek(OPJ_OFF_T to, void* user) {
  auto* s = static_cast<Source*>(user);
  if (to < 0 || uint64_t(to) > s->bytes.size()) return OPJ_FALSE;
  s->pos = size_t(to);
  return OPJ_TRUE;
}
void Quiet(const char*, void*) {}

uint32_t Sample(const opj_image_comp_t& c, uint32_t x, uint32_t y) {
  x = std::min(x, c.w - 1);
  y = std::min(y, c.h - 1);
  int64_t v = c.data[size_t(y) * c.w + x];
  if (c.sgnd) v += int64_t(1) << (c.prec - 1);
  const int64_t max = (int64_t(1) << c.prec) - 1;
  v = std::clamp<int64_t>(v, 0, max);
  return uint32_t(max ? (v * 255 + max / 2) / max : 0);
}

}  // namespace

bool IsJpeg2000(Bytes file) {
  return (file.size() >= 12 && std::memcmp(file.data(), kJp2Signature, 12) == 0) ||
         (file.size() >= 4 && std::memcmp(file.data(), kJ2kSignature, 4) == 0);
}

Decoded DecodeJpeg2000(Bytes file) {
  if (!IsJpeg2000(file)) return std::nullopt;
  const bool jp2 = file[0] == 0;
  Source source{file};
  opj_stream_t* stream = opj_stream_create(64 * 1024, OPJ_TRUE);
  opj_stream_set_user_data(stream, &source, nullptr);
  opj_stream_set_user_data_length(stream, file.size());
  opj_stream_set_read_function(stream, Read);
  opj_stream_set_skip_function(stream, Skip);
  opj_stream_set_seek_function(stream, Seek);
  opj_codec_t* codec = opj_create_decompress(jp2 ? OPJ_CODEC_JP2 : OPJ_CODEC_J2K);
  opj_set_error_handler(codec, Quiet, nullptr);
  opj_set_warning_handler(codec, Quiet, nullptr);
  opj_set_info_handler(codec, Quiet, nullptr);
  opj_dparameters_t parameters;
  opj_set_default_decoder_parameters(&parameters);
  opj_image_t* decoded = nullptr;
  Decoded image;
  if (opj_setup_decoder(codec, &parameters) && opj_read_header(stream, codec, &decoded) &&
      opj_decode(codec, stream, decoded) && opj_end_decompress(codec, stream) && decoded->numcomps >= 1) {
    const opj_image_comp_t* comps = decoded->comps;
    bool usable = true;
    for (uint32_t i = 0; i < decoded->numcomps; ++i)
      usable = usable && comps[i].data && comps[i].w && comps[i].h && comps[i].prec >= 1 && comps[i].prec <= 31 &&
               comps[i].dx && comps[i].dy;
    if (usable) image = MakeImage(comps[0].w, comps[0].h);
    if (image) {
      const bool colour = decoded->numcomps >= 3;
      for (uint32_t y = 0; y < comps[0].h; ++y) {
        uint32_t* out = image->Row(int(y));
        for (uint32_t x = 0; x < comps[0].w; ++x) {
          // Sub-sampled components are read at the matching position.
          auto at = [&](int c) {
            const auto& k = comps[c];
            return Sample(k, uint32_t(uint64_t(x) * comps[0].dx / k.dx), uint32_t(uint64_t(y) * comps[0].dy / k.dy));
          };
          out[x] = colour ? Rgb(at(0), at(1), at(2)) : Gray(at(0));
        }
      }
    }
  }
  if (decoded) opj_image_destroy(decoded);
  opj_destroy_codec(codec);
  opj_stream_destroy(stream);
  return image;
}

}  // namespace picture
