// Our own picture decoders and the library decoders, on the fixture writer's
// files: exact pictures back, no format taken for another, damaged and
// hostile files refused.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>

#include "library_decoders.h"
#include "own_decoders.h"
#include "picture_writer.h"

namespace {

using fixture::Bytes;
using fixture::Picture;
using picture::Decoded;

uint32_t Opaque(uint32_t rgb) { return 0xFF000000u | rgb; }
uint32_t GreyOf(uint32_t rgb) {
  const uint32_t g = (rgb >> 8) & 0xFF;
  return Opaque(g << 16 | g << 8 | g);
}

struct OwnCase {
  std::string name;
  Bytes file;
  std::function<Decoded(picture::Bytes)> decode;
  Picture expected;
  bool grey;  // PGX keeps the green channel as grey
  size_t dataEnd;  // truncations before this end lose picture data
};

std::vector<OwnCase> OwnCases() {
  const Picture colour = fixture::QuadrantPicture(13, 9), stripes = fixture::StripePicture(21, 7);
  std::vector<OwnCase> cases;
  auto add = [&](std::string name, Bytes file, auto decode, const Picture& p, bool grey, size_t trailer = 0) {
    const size_t end = file.size() - trailer;
    cases.push_back({std::move(name), std::move(file), decode, p, grey, end});
  };
  add("pcx 1 bit", fixture::PcxFile(stripes, 1), picture::DecodePcx, stripes, false);
  add("pcx 4 bits", fixture::PcxFile(colour, 4), picture::DecodePcx, colour, false);
  add("pcx 8 bits", fixture::PcxFile(colour, 8), picture::DecodePcx, colour, false, 769);
  add("pcx 24 bits", fixture::PcxFile(colour, 24), picture::DecodePcx, colour, false);
  for (bool rle : {false, true}) {
    const std::string kind = rle ? " byte-encoded" : " standard";
    add("ras 1" + kind, fixture::SunRasterFile(stripes, 1, rle), picture::DecodeSunRaster, stripes, false);
    for (int depth : {8, 24, 32})
      add("ras " + std::to_string(depth) + kind, fixture::SunRasterFile(colour, depth, rle),
          picture::DecodeSunRaster, colour, false);
  }
  add("pgx 8 unsigned big-endian", fixture::PgxFile(colour, 8, false, true), picture::DecodePgx, colour, true);
  add("pgx 12 signed little-endian", fixture::PgxFile(colour, 12, true, false), picture::DecodePgx, colour, true);
  add("pgx 16 unsigned big-endian", fixture::PgxFile(colour, 16, false, true), picture::DecodePgx, colour, true);
  add("ska", fixture::SkaFile(colour), picture::DecodeSka, colour, false);
  add("tga plain bottom-up", fixture::TgaFile(colour, false, false), picture::DecodeTga, colour, false);
  add("tga run-length top-down", fixture::TgaFile(colour, true, true), picture::DecodeTga, colour, false);
  return cases;
}

void ExpectPicture(const Decoded& image, const Picture& expected, bool grey, const std::string& name) {
  ASSERT_TRUE(image.has_value()) << name;
  ASSERT_EQ(image->width, expected.width) << name;
  ASSERT_EQ(image->height, expected.height) << name;
  for (int y = 0; y < expected.height; ++y)
    for (int x = 0; x < expected.width; ++x) {
      const uint32_t want = grey ? GreyOf(expected.At(x, y)) : Opaque(expected.At(x, y));
      ASSERT_EQ(image->pixels[size_t(y) * size_t(expected.width) + size_t(x)], want)
          << name << " at " << x << "," << y;
    }
}

TEST(OwnPictureDecoders, GiveBackEveryPixel) {
  for (const auto& c : OwnCases()) ExpectPicture(c.decode(c.file), c.expected, c.grey, c.name);
}

TEST(OwnPictureDecoders, TakeNoOtherFormat) {
  const auto cases = OwnCases();
  const std::vector<std::pair<std::string, std::function<Decoded(picture::Bytes)>>> decoders = {
      {"pcx", picture::DecodePcx}, {"ras", picture::DecodeSunRaster}, {"pgx", picture::DecodePgx},
      {"ska", picture::DecodeSka}, {"tga", picture::DecodeTga}};
  std::vector<Bytes> others = {fixture::JbigFile(fixture::StripePicture(21, 7)),
                               fixture::Jpeg2000File(fixture::QuadrantPicture(8, 8), true),
                               fixture::WmfFile(40, 30), fixture::DngFile(fixture::QuadrantPicture(64, 48))};
  for (const auto& [prefix, decode] : decoders) {
    for (const auto& c : cases) {
      if (c.name.rfind(prefix, 0) != 0) {
        EXPECT_FALSE(decode(c.file).has_value()) << prefix << " took " << c.name;
      }
    }
    for (const auto& other : others) EXPECT_FALSE(decode(other).has_value()) << prefix;
  }
}

TEST(OwnPictureDecoders, RefuseEveryTruncation) {
  for (const auto& c : OwnCases())
    for (size_t size = 0; size < c.dataEnd; ++size)
      ASSERT_FALSE(c.decode(picture::Bytes(c.file.data(), size)).has_value()) << c.name << " cut at " << size;
}

// Headers that claim pictures far larger than their data are refused at
// once, without allocating what they claim.
TEST(OwnPictureDecoders, RefuseSizesTheDataCannotFill) {
  auto patched = [](Bytes file, size_t at, std::initializer_list<uint8_t> bytes) {
    std::copy(bytes.begin(), bytes.end(), file.begin() + long(at));
    return file;
  };
  const Picture colour = fixture::QuadrantPicture(13, 9);
  const std::vector<std::pair<std::string, std::pair<Bytes, std::function<Decoded(picture::Bytes)>>>> cases = {
      {"pcx 65535 x 65535", {patched(fixture::PcxFile(colour, 24), 8, {0xFF, 0xFF, 0xFF, 0xFF}), picture::DecodePcx}},
      {"pcx line shorter than width", {patched(fixture::PcxFile(colour, 24), 66, {1, 0}), picture::DecodePcx}},
      {"ras 2^32-1 wide", {patched(fixture::SunRasterFile(colour, 24, true), 4, {0xFF, 0xFF, 0xFF, 0xFF}),
                           picture::DecodeSunRaster}},
      {"ras colour map past the end", {patched(fixture::SunRasterFile(colour, 8, false), 28, {0x7F, 0, 0, 0}),
                                       picture::DecodeSunRaster}},
      {"ras depth 7", {patched(fixture::SunRasterFile(colour, 8, false), 12, {0, 0, 0, 7}), picture::DecodeSunRaster}},
      {"pgx 999999999 wide", {fixture::FromText("PG ML +8 999999999 999999999\n"), picture::DecodePgx}},
      {"pgx depth 17", {fixture::FromText("PG ML +17 1 1\nxxxx"), picture::DecodePgx}},
      {"ska 32767 x 32767", {patched(fixture::SkaFile(colour), 0, {0xFF, 0x7F, 0xFF, 0x7F}), picture::DecodeSka}},
      {"ska 32768 wide", {patched(fixture::SkaFile(colour), 0, {0x00, 0x80}), picture::DecodeSka}},
      {"ska fifth byte", {patched(fixture::SkaFile(colour), 4, {4}), picture::DecodeSka}},
      {"ska ninth byte", {patched(fixture::SkaFile(colour), 8, {2}), picture::DecodeSka}},
  };
  const auto start = std::chrono::steady_clock::now();
  for (const auto& [name, c] : cases) EXPECT_FALSE(c.second(c.first).has_value()) << name;
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
}

TEST(LibraryPictureDecoders, GiveBackTheirPictures) {
  const Picture colour = fixture::QuadrantPicture(13, 9), stripes = fixture::StripePicture(21, 7);
  ExpectPicture(picture::DecodeJpeg2000(fixture::Jpeg2000File(colour, true)), colour, false, "jp2");
  ExpectPicture(picture::DecodeJpeg2000(fixture::Jpeg2000File(colour, false)), colour, false, "j2k");
  ExpectPicture(picture::DecodeJbig(fixture::JbigFile(stripes)), stripes, false, "jbig");

  std::vector<uint8_t> embedded;
  const Decoded raw = picture::DecodeCameraRaw(fixture::DngFile(fixture::QuadrantPicture(64, 48)), embedded);
  ASSERT_TRUE(raw.has_value());
  EXPECT_EQ(raw->width, 64);
  EXPECT_EQ(raw->height, 48);

  const std::vector<uint8_t> png = picture::RenderWmfAsPng(fixture::WmfFile(40, 30));
  ASSERT_GT(png.size(), 8u);
  EXPECT_EQ(png[1], 'P');
  EXPECT_TRUE(picture::RenderWmfAsPng(fixture::FromText("not a metafile at all")).empty());
}

TEST(LibraryPictureDecoders, RefuseDamagedFiles) {
  const Bytes jp2 = fixture::Jpeg2000File(fixture::QuadrantPicture(13, 9), true);
  const Bytes jbg = fixture::JbigFile(fixture::StripePicture(21, 7));
  for (size_t size : {size_t(0), size_t(12), jp2.size() / 2})
    EXPECT_FALSE(picture::DecodeJpeg2000(picture::Bytes(jp2.data(), size)).has_value()) << size;
  for (size_t size : {size_t(0), size_t(19), size_t(20)})
    EXPECT_FALSE(picture::DecodeJbig(picture::Bytes(jbg.data(), size)).has_value()) << size;
  std::vector<uint8_t> embedded;
  EXPECT_FALSE(picture::DecodeCameraRaw(fixture::FromText(std::string(200, 'x')), embedded).has_value());
}

}  // namespace
