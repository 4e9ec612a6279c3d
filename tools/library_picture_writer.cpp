// The writers that use the libraries' encoders: JBIG-KIT and OpenJPEG.
extern "C" {
#include <jbig.h>
}
#include <openjpeg.h>

#include <cstring>
#include <stdexcept>

#include "picture_writer.h"

namespace fixture {
namespace {

void CollectJbig(unsigned char* start, size_t length, void* file) {
  auto* out = static_cast<Bytes*>(file);
  out->insert(out->end(), start, start + length);
}

// OpenJPEG writes a JP2 file's box lengths by seeking back.
struct MemoryFile {
  Bytes data;
  size_t pos = 0;
};
OPJ_SIZE_T WriteJ2k(void* buffer, OPJ_SIZE_T size, void* user) {
  auto* f = static_cast<MemoryFile*>(user);
  if (f->data.size() < f->pos + size) f->data.resize(f->pos + size, 0);
  std::memcpy(f->data.data() + f->pos, buffer, size);
  f->pos += size;
  return size;
}
OPJ_OFF_T SkipJ2k(OPJ_OFF_T count, void* user) {
  auto* f = static_cast<MemoryFile*>(user);
  f->pos = size_t(OPJ_OFF_T(f->pos) + count);
  if (f->data.size() < f->pos) f->data.resize(f->pos, 0);
  return count;
}
OPJ_BOOL SeekJ2k(OPJ_OFF_T to, void* user) {
  auto* f = static_cast<MemoryFile*>(user);
  f->pos = size_t(to);
  if (f->data.size() < f->pos) f->data.resize(f->pos, 0);
  return OPJ_TRUE;
}

}  // namespace

Bytes JbigFile(const Picture& p) {
  const size_t stride = (size_t(p.width) + 7) / 8;
  std::vector<unsigned char> bits(stride * size_t(p.height), 0);
  for (int y = 0; y < p.height; ++y)
    for (int x = 0; x < p.width; ++x)
      if (p.At(x, y) == 0) bits[size_t(y) * stride + size_t(x / 8)] |= uint8_t(0x80 >> (x % 8));
  unsigned char* planes[1] = {bits.data()};
  Bytes out;
  jbg_enc_state state;
  jbg_enc_init(&state, unsigned(p.width), unsigned(p.height), 1, planes, CollectJbig, &out);
  jbg_enc_out(&state);
  jbg_enc_free(&state);
  return out;
}

Bytes Jpeg2000File(const Picture& p, bool jp2) {
  opj_image_cmptparm_t components[3];
  std::memset(components, 0, sizeof components);
  for (auto& c : components) {
    c.dx = c.dy = 1;
    c.w = OPJ_UINT32(p.width);
    c.h = OPJ_UINT32(p.height);
    c.prec = 8;
    c.sgnd = 0;
  }
  opj_image_t* image = opj_image_create(3, components, OPJ_CLRSPC_SRGB);
  if (!image) throw std::runtime_error("opj_image_create");
  image->x1 = OPJ_UINT32(p.width);
  image->y1 = OPJ_UINT32(p.height);
  for (size_t i = 0; i < p.rgb.size(); ++i) {
    image->comps[0].data[i] = OPJ_INT32((p.rgb[i] >> 16) & 0xFF);
    image->comps[1].data[i] = OPJ_INT32((p.rgb[i] >> 8) & 0xFF);
    image->comps[2].data[i] = OPJ_INT32(p.rgb[i] & 0xFF);
  }
  opj_cparameters_t parameters;
  opj_set_default_encoder_parameters(&parameters);
  parameters.tcp_numlayers = 1;
  parameters.tcp_rates[0] = 0;  // lossless
  parameters.cp_disto_alloc = 1;
  parameters.numresolution = 2;
  MemoryFile out;
  opj_codec_t* codec = opj_create_compress(jp2 ? OPJ_CODEC_JP2 : OPJ_CODEC_J2K);
  opj_stream_t* stream = opj_stream_create(64 * 1024, OPJ_FALSE);
  opj_stream_set_user_data(stream, &out, nullptr);
  opj_stream_set_write_function(stream, WriteJ2k);
  opj_stream_set_skip_function(stream, SkipJ2k);
  opj_stream_set_seek_function(stream, SeekJ2k);
  const bool ok = opj_setup_encoder(codec, &parameters, image) && opj_start_compress(codec, image, stream) &&
                  opj_encode(codec, stream) && opj_end_compress(codec, stream);
  opj_stream_destroy(stream);
  opj_destroy_codec(codec);
  opj_image_destroy(image);
  if (!ok) throw std::runtime_error("OpenJPEG could not encode the picture");
  return out.data;
}

}  // namespace fixture
