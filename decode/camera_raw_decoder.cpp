#include <libraw/libraw.h>

#include <cstring>
#include <memory>

#include "library_decoders.h"

namespace picture {
namespace {

// An 8-bit RGB or grey bitmap of LibRaw's into a picture.
Decoded FromBitmap(const libraw_processed_image_t* bitmap) {
  if (!bitmap || bitmap->type != LIBRAW_IMAGE_BITMAP || bitmap->bits != 8 ||
      (bitmap->colors != 3 && bitmap->colors != 1))
    return std::nullopt;
  const uint64_t need = uint64_t(bitmap->width) * bitmap->height * bitmap->colors;
  if (bitmap->data_size < need) return std::nullopt;
  auto image = MakeImage(bitmap->width, bitmap->height);
  if (!image) return std::nullopt;
  const uint8_t* p = bitmap->data;
  for (size_t i = 0; i < image->pixels.size(); ++i, p += bitmap->colors)
    image->pixels[i] = bitmap->colors == 3 ? Rgb(p[0], p[1], p[2]) : Gray(p[0]);
  return image;
}

struct MemImage {
  libraw_processed_image_t* p = nullptr;
  ~MemImage() {
    if (p) LibRaw::dcraw_clear_mem(p);
  }
};

}  // namespace

bool IsTiff(Bytes file) {
  return file.size() >= 8 && ((file[0] == 'I' && file[1] == 'I' && file[2] == 42 && file[3] == 0) ||
                              (file[0] == 'M' && file[1] == 'M' && file[2] == 0 && file[3] == 42));
}

Decoded DecodeCameraRaw(Bytes file, std::vector<uint8_t>& embeddedJpeg) {
  embeddedJpeg.clear();
  if (file.size() < 64) return std::nullopt;
  auto raw = std::make_unique<LibRaw>(LIBRAW_OPTIONS_NONE);
  auto& params = raw->imgdata.params;
  params.output_bps = 8;
  params.use_camera_wb = 1;
  // Bilinear interpolation: a preview, quickly.
  params.user_qual = 0;
  if (raw->open_buffer(const_cast<uint8_t*>(file.data()), file.size()) != LIBRAW_SUCCESS) return std::nullopt;
  if (raw->unpack() == LIBRAW_SUCCESS && raw->dcraw_process() == LIBRAW_SUCCESS) {
    int error = 0;
    MemImage bitmap{raw->dcraw_make_mem_image(&error)};
    if (auto image = FromBitmap(bitmap.p)) return image;
  }
  if (raw->unpack_thumb() != LIBRAW_SUCCESS) return std::nullopt;
  int error = 0;
  MemImage thumb{raw->dcraw_make_mem_thumb(&error)};
  if (!thumb.p) return std::nullopt;
  if (thumb.p->type == LIBRAW_IMAGE_JPEG) {
    embeddedJpeg.assign(thumb.p->data, thumb.p->data + thumb.p->data_size);
    return std::nullopt;
  }
  return FromBitmap(thumb.p);
}

}  // namespace picture
