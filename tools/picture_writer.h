#pragma once
// Writers of small picture files for the tests, the fuzz seeds and the
// benchmarks: the formats of the preview's picture group that Qt does not
// write itself.

#include <cstdint>
#include <string>
#include <vector>

#include "bkf_writer.h"

namespace fixture {

// A picture to write: 0xRRGGBB pixels, rows top to bottom.
struct Picture {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> rgb;
  uint32_t At(int x, int y) const { return rgb[size_t(y) * size_t(width) + size_t(x)]; }
};

// Four quadrants: red top-left, green top-right, blue bottom-left, white
// bottom-right (colours every writer can hold exactly).
Picture QuadrantPicture(int width, int height);
// Black and white stripes across: row y is black when (y / 2 + x / 3) is odd.
Picture StripePicture(int width, int height);

// PCX, run-length encoded: bits 1 (black and white), 4 (16-colour header
// palette), 8 (256-colour palette after the data) or 24 (three planes).
Bytes PcxFile(const Picture& picture, int bits);
// Sun raster of depth 1, 8 (with a colour map), 24 or 32, standard or
// byte-encoded.
Bytes SunRasterFile(const Picture& picture, int depth, bool byteEncoded);
// PGX of the picture's green channel scaled to depth bits.
Bytes PgxFile(const Picture& picture, int depth, bool isSigned, bool bigEndian);
// TGA of version 1 (no footer): 24-bit true colour, plain or run-length
// encoded, bottom row first (the usual order) or top row first.
Bytes TgaFile(const Picture& picture, bool rle, bool topDown);
// SKA with a palette of the picture's colours (at most 256).
Bytes SkaFile(const Picture& picture);
// JBIG, one plane, black where the picture is black (JBIG-KIT's encoder).
Bytes JbigFile(const Picture& picture);
// JPEG 2000, lossless, as a JP2 file or a bare J2K codestream (OpenJPEG).
Bytes Jpeg2000File(const Picture& picture, bool jp2);
// A placeable metafile of width x height units at 96 per inch: white
// background, a red filled rectangle over the left half and a blue one over
// the bottom-right quarter.
Bytes WmfFile(int width, int height);
// An uncompressed 8-bit RGB TIFF with one page per picture.
Bytes TiffPages(const std::vector<Picture>& pages);
// A DNG of the picture's green channel as an uncompressed 16-bit Bayer
// mosaic (RGGB), with a plain colour matrix.
Bytes DngFile(const Picture& picture);

}  // namespace fixture
