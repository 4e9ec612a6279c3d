#include "picture_writer.h"

#include <algorithm>
#include <map>
#include <stdexcept>

namespace fixture {
namespace {

uint8_t R(uint32_t c) { return uint8_t(c >> 16); }
uint8_t G(uint32_t c) { return uint8_t(c >> 8); }
uint8_t B(uint32_t c) { return uint8_t(c); }

void Le16(Bytes& out, uint32_t v) {
  out.push_back(uint8_t(v));
  out.push_back(uint8_t(v >> 8));
}
void Le32(Bytes& out, uint32_t v) {
  Le16(out, v & 0xFFFF);
  Le16(out, v >> 16);
}
void Be32(Bytes& out, uint32_t v) {
  for (int s = 24; s >= 0; s -= 8) out.push_back(uint8_t(v >> s));
}

// The picture's colours in order of first appearance.
std::vector<uint32_t> Palette(const Picture& p, size_t max) {
  std::vector<uint32_t> colours;
  for (uint32_t c : p.rgb) {
    if (std::find(colours.begin(), colours.end(), c) == colours.end()) colours.push_back(c);
  }
  if (colours.size() > max) throw std::runtime_error("too many colours for the format");
  return colours;
}
uint8_t IndexOf(const std::vector<uint32_t>& palette, uint32_t c) {
  return uint8_t(std::find(palette.begin(), palette.end(), c) - palette.begin());
}

// PCX runs: a count byte 0xC0 | n (n up to 63) before a repeated byte, and
// every byte of 0xC0 or more as a run of one.
void PcxRuns(Bytes& out, const Bytes& line) {
  for (size_t i = 0; i < line.size();) {
    size_t n = 1;
    while (i + n < line.size() && n < 63 && line[i + n] == line[i]) ++n;
    if (n > 1 || line[i] >= 0xC0) out.push_back(uint8_t(0xC0 | n));
    out.push_back(line[i]);
    i += n;
  }
}

}  // namespace

Picture QuadrantPicture(int width, int height) {
  Picture p{width, height, {}};
  p.rgb.resize(size_t(width) * size_t(height));
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const bool right = x >= width / 2, bottom = y >= height / 2;
      p.rgb[size_t(y) * size_t(width) + size_t(x)] =
          bottom ? (right ? 0xFFFFFF : 0x0000FF) : (right ? 0x00FF00 : 0xFF0000);
    }
  return p;
}

Picture StripePicture(int width, int height) {
  Picture p{width, height, {}};
  p.rgb.resize(size_t(width) * size_t(height));
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) p.rgb[size_t(y) * size_t(width) + size_t(x)] = ((y / 2 + x / 3) & 1) ? 0 : 0xFFFFFF;
  return p;
}

Bytes PcxFile(const Picture& p, int bits) {
  const int planes = bits == 24 ? 3 : bits == 1 ? 1 : 1;
  const int bitsPerPlane = bits == 24 ? 8 : bits;
  int bytesPerLine = (p.width * bitsPerPlane + 7) / 8;
  bytesPerLine += bytesPerLine & 1;
  std::vector<uint32_t> palette;
  if (bits == 4) palette = Palette(p, 16);
  if (bits == 8) palette = Palette(p, 256);
  Bytes out(128, 0);
  out[0] = 0x0A;
  out[1] = 5;
  out[2] = 1;
  out[3] = uint8_t(bitsPerPlane);
  out[8] = uint8_t(p.width - 1);
  out[9] = uint8_t((p.width - 1) >> 8);
  out[10] = uint8_t(p.height - 1);
  out[11] = uint8_t((p.height - 1) >> 8);
  out[12] = 72;
  out[14] = 72;
  for (size_t i = 0; bits == 4 && i < palette.size(); ++i) {
    out[16 + 3 * i] = R(palette[i]);
    out[17 + 3 * i] = G(palette[i]);
    out[18 + 3 * i] = B(palette[i]);
  }
  out[65] = uint8_t(planes);
  out[66] = uint8_t(bytesPerLine);
  out[67] = uint8_t(bytesPerLine >> 8);
  out[68] = 1;
  for (int y = 0; y < p.height; ++y) {
    Bytes line(size_t(bytesPerLine) * size_t(planes), 0);
    for (int x = 0; x < p.width; ++x) {
      const uint32_t c = p.At(x, y);
      if (bits == 1) {
        if (c == 0xFFFFFF) line[size_t(x / 8)] |= uint8_t(0x80 >> (x % 8));
      } else if (bits == 4) {
        line[size_t(x / 2)] |= uint8_t(IndexOf(palette, c) << ((x & 1) ? 0 : 4));
      } else if (bits == 8) {
        line[size_t(x)] = IndexOf(palette, c);
      } else {
        line[size_t(x)] = R(c);
        line[size_t(bytesPerLine + x)] = G(c);
        line[size_t(2 * bytesPerLine + x)] = B(c);
      }
    }
    PcxRuns(out, line);
  }
  if (bits == 8) {
    out.push_back(0x0C);
    for (size_t i = 0; i < 256; ++i) {
      const uint32_t c = i < palette.size() ? palette[i] : 0;
      out.insert(out.end(), {R(c), G(c), B(c)});
    }
  }
  return out;
}

Bytes SunRasterFile(const Picture& p, int depth, bool byteEncoded) {
  const size_t stride = ((size_t(p.width) * size_t(depth) + 15) / 16) * 2;
  std::vector<uint32_t> palette;
  if (depth == 8) palette = Palette(p, 256);
  Bytes pixels;
  for (int y = 0; y < p.height; ++y) {
    Bytes row(stride, 0);
    for (int x = 0; x < p.width; ++x) {
      const uint32_t c = p.At(x, y);
      switch (depth) {
        case 1:
          if (c == 0) row[size_t(x / 8)] |= uint8_t(0x80 >> (x % 8));  // set = black
          break;
        case 8: row[size_t(x)] = IndexOf(palette, c); break;
        case 24:
          row[3 * size_t(x)] = B(c);
          row[3 * size_t(x) + 1] = G(c);
          row[3 * size_t(x) + 2] = R(c);
          break;
        default:
          row[4 * size_t(x) + 1] = B(c);
          row[4 * size_t(x) + 2] = G(c);
          row[4 * size_t(x) + 3] = R(c);
      }
    }
    pixels.insert(pixels.end(), row.begin(), row.end());
  }
  Bytes data;
  if (byteEncoded) {
    for (size_t i = 0; i < pixels.size();) {
      size_t n = 1;
      while (i + n < pixels.size() && n < 256 && pixels[i + n] == pixels[i]) ++n;
      if (n >= 3 || pixels[i] == 0x80) {
        if (n == 1) data.insert(data.end(), {0x80, 0x00});
        else data.insert(data.end(), {0x80, uint8_t(n - 1), pixels[i]});
      } else {
        n = 1;
        data.push_back(pixels[i]);
      }
      i += n;
    }
  } else {
    data = pixels;
  }
  Bytes out;
  Be32(out, 0x59A66A95);
  Be32(out, uint32_t(p.width));
  Be32(out, uint32_t(p.height));
  Be32(out, uint32_t(depth));
  Be32(out, uint32_t(data.size()));
  Be32(out, byteEncoded ? 2 : 1);
  Be32(out, depth == 8 ? 1 : 0);
  Be32(out, depth == 8 ? uint32_t(3 * palette.size()) : 0);
  for (int channel = 16; depth == 8 && channel >= 0; channel -= 8)
    for (uint32_t c : palette) out.push_back(uint8_t(c >> channel));
  out.insert(out.end(), data.begin(), data.end());
  return out;
}

Bytes PgxFile(const Picture& p, int depth, bool isSigned, bool bigEndian) {
  const std::string header = std::string("PG ") + (bigEndian ? "ML " : "LM ") + (isSigned ? "-" : "+") +
                             std::to_string(depth) + " " + std::to_string(p.width) + " " +
                             std::to_string(p.height) + "\n";
  Bytes out(header.begin(), header.end());
  const uint32_t max = (1u << depth) - 1;
  for (uint32_t c : p.rgb) {
    uint32_t v = (G(c) * max + 127) / 255;
    if (isSigned) v = (v - (1u << (depth - 1))) & max;  // two's complement of the shifted value
    if (depth <= 8) {
      out.push_back(uint8_t(v));
    } else if (bigEndian) {
      out.insert(out.end(), {uint8_t(v >> 8), uint8_t(v)});
    } else {
      out.insert(out.end(), {uint8_t(v), uint8_t(v >> 8)});
    }
  }
  return out;
}

Bytes TgaFile(const Picture& p, bool rle, bool topDown) {
  Bytes out(18, 0);
  out[2] = rle ? 10 : 2;
  out[12] = uint8_t(p.width);
  out[13] = uint8_t(p.width >> 8);
  out[14] = uint8_t(p.height);
  out[15] = uint8_t(p.height >> 8);
  out[16] = 24;
  out[17] = topDown ? 0x20 : 0;
  std::vector<uint32_t> order;
  for (int row = 0; row < p.height; ++row) {
    const int y = topDown ? row : p.height - 1 - row;
    for (int x = 0; x < p.width; ++x) order.push_back(p.At(x, y));
  }
  for (size_t i = 0; i < order.size();) {
    size_t n = 1;
    if (rle) {
      while (i + n < order.size() && n < 128 && order[i + n] == order[i]) ++n;
      out.push_back(uint8_t(0x80 | (n - 1)));
    }
    out.insert(out.end(), {B(order[i]), G(order[i]), R(order[i])});
    i += n;
  }
  return out;
}

Bytes SkaFile(const Picture& p) {
  const std::vector<uint32_t> palette = Palette(p, 256);
  Bytes out;
  Le16(out, uint32_t(p.width));
  Le16(out, uint32_t(p.height));
  out.insert(out.end(), {3, 0, 0, 0, 1});
  for (size_t i = 0; i < 256; ++i) {
    const uint32_t c = i < palette.size() ? palette[i] : 0;
    out.insert(out.end(), {R(c), G(c), B(c)});
  }
  for (uint32_t c : p.rgb) out.push_back(IndexOf(palette, c));
  return out;
}

Bytes WmfFile(int width, int height) {
  Bytes records;
  auto record = [&](uint16_t function, std::initializer_list<int> words) {
    Le32(records, uint32_t(3 + words.size()));
    Le16(records, function);
    for (int w : words) Le16(records, uint32_t(uint16_t(w)));
  };
  record(0x020B, {0, 0});                // SetWindowOrg(y, x)
  record(0x020C, {height, width});       // SetWindowExt(y, x)
  record(0x02FC, {0, 0xFFFF, 0x00FF, 0});  // CreateBrushIndirect: solid white (object 0)
  record(0x02FC, {0, 0x00FF, 0x0000, 0});  // solid red (object 1)
  record(0x02FC, {0, 0x0000, 0x00FF, 0});  // solid blue (object 2)
  record(0x02FA, {5, 0, 0, 0, 0});       // CreatePenIndirect: PS_NULL (object 3)
  record(0x012D, {3});                   // SelectObject(pen)
  record(0x012D, {0});
  record(0x041B, {height, width, 0, 0});  // Rectangle(bottom, right, top, left)
  record(0x012D, {1});
  record(0x041B, {height, width / 2, 0, 0});
  record(0x012D, {2});
  record(0x041B, {height, width, height / 2, width / 2});
  record(0x0000, {});                    // end of file

  Bytes out;
  // Placeable header: key, handle, bounding box, units per inch, reserved, checksum.
  Le32(out, 0x9AC6CDD7);
  Le16(out, 0);
  for (int v : {0, 0, width, height}) Le16(out, uint32_t(v));
  Le16(out, 96);
  Le32(out, 0);
  uint16_t checksum = 0;
  for (size_t i = 0; i < out.size(); i += 2) checksum ^= uint16_t(out[i] | (out[i + 1] << 8));
  Le16(out, checksum);
  // Standard header: disk metafile, 9 words, version 3, size in words,
  // objects, largest record, no parameters.
  const uint32_t words = uint32_t((18 + records.size()) / 2);
  Le16(out, 1);
  Le16(out, 9);
  Le16(out, 0x0300);
  Le32(out, words);
  Le16(out, 4);
  Le32(out, 8);
  Le16(out, 0);
  out.insert(out.end(), records.begin(), records.end());
  return out;
}

}  // namespace fixture

namespace fixture {
namespace {

struct TiffEntry {
  uint16_t tag;
  uint16_t type;  // 1 BYTE, 2 ASCII, 3 SHORT, 4 LONG, 5 RATIONAL, 10 SRATIONAL
  uint32_t count;
  Bytes value;    // little-endian
};

TiffEntry Short(uint16_t tag, std::initializer_list<uint16_t> values) {
  TiffEntry e{tag, 3, uint32_t(values.size()), {}};
  for (uint16_t v : values) Le16(e.value, v);
  return e;
}
TiffEntry Long(uint16_t tag, uint32_t value) {
  TiffEntry e{tag, 4, 1, {}};
  Le32(e.value, value);
  return e;
}
TiffEntry ByteList(uint16_t tag, std::initializer_list<uint8_t> values) {
  return TiffEntry{tag, 1, uint32_t(values.size()), Bytes(values)};
}
TiffEntry Ascii(uint16_t tag, const std::string& text) {
  Bytes v(text.begin(), text.end());
  v.push_back(0);
  return TiffEntry{tag, 2, uint32_t(v.size()), v};
}
TiffEntry Rational(uint16_t tag, uint16_t type, std::initializer_list<int32_t> numerators) {
  TiffEntry e{tag, type, uint32_t(numerators.size()), {}};
  for (int32_t n : numerators) {
    Le32(e.value, uint32_t(n));
    Le32(e.value, 1);
  }
  return e;
}

}  // namespace

Bytes DngFile(const Picture& p) {
  const uint32_t dataBytes = uint32_t(p.width) * uint32_t(p.height) * 2;
  std::vector<TiffEntry> entries = {
      Long(254, 0), Long(256, uint32_t(p.width)), Long(257, uint32_t(p.height)), Short(258, {16}),
      Short(259, {1}), Short(262, {32803}), Ascii(271, "Quillon"), Ascii(272, "Test Raw"),
      Long(273, 0) /* patched */, Short(274, {1}), Short(277, {1}), Long(278, uint32_t(p.height)),
      Long(279, dataBytes), Short(284, {1}), Short(33421, {2, 2}), ByteList(33422, {0, 1, 1, 2}),
      ByteList(50706, {1, 4, 0, 0}), ByteList(50707, {1, 1, 0, 0}), Ascii(50708, "Quillon Test Raw"),
      Long(50717, 65535), Rational(50721, 10, {1, 0, 0, 0, 1, 0, 0, 0, 1}), Rational(50728, 5, {1, 1, 1}),
      Short(50778, {21}),
  };
  // Header, the directory, then the values that do not fit in four bytes,
  // then the mosaic.
  const uint32_t dirOffset = 8;
  const uint32_t dirSize = 2 + 12 * uint32_t(entries.size()) + 4;
  uint32_t extraOffset = dirOffset + dirSize;
  uint32_t extraSize = 0;
  for (const auto& e : entries)
    if (e.value.size() > 4) extraSize += uint32_t(e.value.size() + (e.value.size() & 1));
  const uint32_t dataOffset = extraOffset + extraSize;
  for (auto& e : entries)
    if (e.tag == 273) e = Long(273, dataOffset);

  Bytes out = {'I', 'I', 42, 0};
  Le32(out, dirOffset);
  Le16(out, uint32_t(entries.size()));
  Bytes extra;
  for (const auto& e : entries) {
    Le16(out, e.tag);
    Le16(out, e.type);
    Le32(out, e.count);
    if (e.value.size() <= 4) {
      Bytes v = e.value;
      v.resize(4, 0);
      out.insert(out.end(), v.begin(), v.end());
    } else {
      Le32(out, extraOffset + uint32_t(extra.size()));
      extra.insert(extra.end(), e.value.begin(), e.value.end());
      if (extra.size() & 1) extra.push_back(0);
    }
  }
  Le32(out, 0);
  out.insert(out.end(), extra.begin(), extra.end());
  out.reserve(out.size() + dataBytes);
  for (int y = 0; y < p.height; ++y)
    for (int x = 0; x < p.width; ++x) {
      const uint32_t c = p.At(x, y);
      const uint8_t v = (y & 1) == 0 ? ((x & 1) == 0 ? R(c) : G(c)) : ((x & 1) == 0 ? G(c) : B(c));
      Le16(out, uint32_t(v) * 257);
    }
  return out;
}

Bytes TiffPages(const std::vector<Picture>& pages) {
  Bytes out = {'I', 'I', 42, 0};
  Le32(out, 8);
  for (size_t page = 0; page < pages.size(); ++page) {
    const Picture& p = pages[page];
    const uint32_t dataBytes = uint32_t(p.width) * uint32_t(p.height) * 3;
    // Directory at out.size(): 10 entries, then BitsPerSample's three
    // values, then the pixels.
    const uint32_t dir = uint32_t(out.size());
    const uint32_t bitsAt = dir + 2 + 12 * 10 + 4;
    const uint32_t dataAt = bitsAt + 6;
    const std::vector<TiffEntry> entries = {
        Long(256, uint32_t(p.width)), Long(257, uint32_t(p.height)), TiffEntry{258, 3, 3, {}},
        Short(259, {1}), Short(262, {2}), Long(273, dataAt), Short(277, {3}), Long(278, uint32_t(p.height)),
        Long(279, dataBytes), Short(284, {1})};
    Le16(out, uint32_t(entries.size()));
    for (const auto& e : entries) {
      Le16(out, e.tag);
      Le16(out, e.type);
      Le32(out, e.count);
      if (e.tag == 258) {
        Le32(out, bitsAt);
      } else {
        Bytes v = e.value;
        v.resize(4, 0);
        out.insert(out.end(), v.begin(), v.end());
      }
    }
    const bool last = page + 1 == pages.size();
    Le32(out, last ? 0 : dataAt + dataBytes + (dataBytes & 1));
    for (int i = 0; i < 3; ++i) Le16(out, 8);
    for (uint32_t c : p.rgb) out.insert(out.end(), {R(c), G(c), B(c)});
    if (dataBytes & 1) out.push_back(0);
  }
  return out;
}

}  // namespace fixture
