#pragma once
// The decoders written here for the picture formats no library on the system
// reads: PCX, Sun raster, PGX, SKA, and TGA without its version-2 footer.
// Each takes the whole file and answers a picture, or none when the bytes are not a whole picture of its format. Time
// and memory grow with the file, never with the sizes its header claims.

#include "picture_image.h"

namespace picture {

// ZSoft PCX: 1 bit (1 or 4 planes), 4 bits, 8 bits (palette or grey), 24 bits
// (three 8-bit planes); run-length encoded or plain.
Decoded DecodePcx(Bytes file);
// Sun raster: 1, 8, 24 and 32 bits, standard, byte-encoded or RGB.
Decoded DecodeSunRaster(Bytes file);
// PGX, the JPEG 2000 test-image format: "PG ML|LM [+|-]depth width height",
// then samples of up to 16 bits, scaled to 8-bit grey.
Decoded DecodePgx(Bytes file);
// Truevision TGA (version 1 files too, which have no signature): colour
// mapped, true colour (15 to 32 bits) and grey, plain or run-length encoded.
Decoded DecodeTga(Bytes file);
// SKA: u16 width, u16 height, u8 3, the bytes 00 00 00 01, a palette of 256
// RGB triples, then width x height 8-bit indices, top row first.
Decoded DecodeSka(Bytes file);

}  // namespace picture
