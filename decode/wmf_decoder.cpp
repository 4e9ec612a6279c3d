extern "C" {
#include <libwmf/api.h>
#include <libwmf/gd.h>
}

#include <cmath>
#include <cstring>

#include "byte_reader.h"
#include "library_decoders.h"

namespace picture {
namespace {

constexpr uint32_t kPlaceableKey = 0x9AC6CDD7;
// A metafile drawn larger than this is drawn at this size at most.
constexpr double kMaxSide = 4096;

int CollectPng(void* context, char* buffer, int length) {
  auto* png = static_cast<std::vector<uint8_t>*>(context);
  if (length > 0) png->insert(png->end(), buffer, buffer + length);
  return length;
}

}  // namespace

bool IsWmf(Bytes file) {
  if (file.size() >= 22 && Le32(file.data()) == kPlaceableKey) return true;
  // A standard header: type 1 (memory) or 2 (disk), 9 words long, version
  // 0x0100 or 0x0300.
  if (file.size() < 18) return false;
  const uint16_t type = Le16(file.data()), words = Le16(file.data() + 2), version = Le16(file.data() + 4);
  return (type == 1 || type == 2) && words == 9 && (version == 0x0100 || version == 0x0300);
}

std::vector<uint8_t> RenderWmfAsPng(Bytes file) {
  std::vector<uint8_t> png;
  if (!IsWmf(file)) return png;
  wmfAPI* api = nullptr;
  wmfAPI_Options options;
  std::memset(&options, 0, sizeof options);
  options.function = wmf_gd_function;
  const unsigned long flags = WMF_OPT_FUNCTION | WMF_OPT_IGNORE_NONFATAL | WMF_OPT_NO_ERROR | WMF_OPT_NO_DEBUG;
  if (wmf_api_create(&api, flags, &options) != wmf_E_None || !api) {
    if (api) wmf_api_destroy(api);
    return png;
  }
  wmf_gd_t* device = WMF_GD_GetData(api);
  wmfD_Rect box;
  float width = 0, height = 0;
  // The library reads the caller's buffer; it does not write to it.
  if (wmf_mem_open(api, const_cast<unsigned char*>(file.data()), long(file.size())) == wmf_E_None &&
      wmf_scan(api, 0, &box) == wmf_E_None && wmf_size(api, &width, &height) == wmf_E_None &&
      std::isfinite(width) && std::isfinite(height) && width >= 1 && height >= 1) {
    const double scale = std::min(1.0, kMaxSide / std::max(width, height));
    device->type = wmf_gd_png;
    // Memory output: the PNG bytes reach the sink (the path that does not leak).
    device->flags = (device->flags & ~WMF_GD_OUTPUT_FILE) | WMF_GD_OUTPUT_MEMORY | WMF_GD_OWN_BUFFER;
    device->sink.context = &png;
    device->sink.function = CollectPng;
    device->width = unsigned(std::max(1.0, std::ceil(width * scale)));
    device->height = unsigned(std::max(1.0, std::ceil(height * scale)));
    device->bbox = box;
    if (wmf_play(api, 0, &box) != wmf_E_None) png.clear();
  }
  wmf_api_destroy(api);
  return png;
}

}  // namespace picture
