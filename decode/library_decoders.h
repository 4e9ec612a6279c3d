#pragma once
// The picture formats read through the system's libraries: camera RAW
// (LibRaw), JPEG 2000 (OpenJPEG), JBIG (JBIG-KIT) and Windows metafiles
// (libwmf). These libraries are large and read bytes from damaged backups:
// only the decoding helper process calls them.

#include <cstdint>
#include <vector>

#include "picture_image.h"

namespace picture {

// JP2 files and bare J2K codestreams, recognised by their signatures.
bool IsJpeg2000(Bytes file);
Decoded DecodeJpeg2000(Bytes file);

// A JBIG image (first plane; 1 = black).
Decoded DecodeJbig(Bytes file);

// Camera RAW: the full decode; when that fails, the embedded preview, as a
// picture or as JPEG bytes (embeddedJpeg) for the caller to decode.
Decoded DecodeCameraRaw(Bytes file, std::vector<uint8_t>& embeddedJpeg);

// A Windows metafile (placeable or standard), drawn by libwmf into PNG bytes;
// empty when it could not be drawn.
bool IsWmf(Bytes file);
std::vector<uint8_t> RenderWmfAsPng(Bytes file);

// A TIFF header: camera RAW files built on TIFF go to LibRaw first.
bool IsTiff(Bytes file);

}  // namespace picture
