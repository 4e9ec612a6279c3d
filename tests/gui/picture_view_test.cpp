// The picture view of the preview pane: every format of the picture group
// decoded by content in the helper process and shown at natural size; cut at
// the pane's edges; the first page of a multi-page file; damaged files and a
// misbehaving helper give a failure (the caller's hex dump), and the window
// goes on working.
#include <gtest/gtest.h>

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QImageWriter>
#include <QTemporaryDir>
#include <chrono>
#include <fstream>

#include "archive_answer.h"
#include "picture_decoding.h"
#include "picture_view.h"
#include "picture_writer.h"
#include "show_picture.h"
#include "static_file_viewer.h"

namespace {

using fixture::Bytes;

QImage ToQImage(const fixture::Picture& p) {
  QImage image(p.width, p.height, QImage::Format_ARGB32);
  for (int y = 0; y < p.height; ++y)
    for (int x = 0; x < p.width; ++x) image.setPixel(x, y, 0xFF000000u | p.At(x, y));
  return image;
}

Bytes QtBytes(const QImage& image, const char* format, int quality = -1) {
  QByteArray data;
  QBuffer buffer(&data);
  buffer.open(QIODevice::WriteOnly);
  QImageWriter writer(&buffer, format);
  writer.setQuality(quality);
  EXPECT_TRUE(writer.write(image)) << format << ": " << writer.errorString().toStdString();
  return Bytes(data.begin(), data.end());
}

uint32_t Crc32(const uint8_t* p, size_t n) {
  uint32_t c = 0xFFFFFFFFu;
  for (size_t i = 0; i < n; ++i) {
    c ^= p[i];
    for (int k = 0; k < 8; ++k) c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1)));
  }
  return ~c;
}

void PutBe32(Bytes& out, uint32_t v) {
  for (int s = 24; s >= 0; s -= 8) out.push_back(uint8_t(v >> s));
}

// An MNG of one frame: the signature, MHDR, the PNG's chunks, MEND.
Bytes MngOf(const Bytes& png, int width, int height) {
  Bytes out = {0x8A, 'M', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  auto chunk = [&](const char* type, const Bytes& data) {
    PutBe32(out, uint32_t(data.size()));
    Bytes typed(type, type + 4);
    typed.insert(typed.end(), data.begin(), data.end());
    out.insert(out.end(), typed.begin(), typed.end());
    PutBe32(out, Crc32(typed.data(), typed.size()));
  };
  Bytes mhdr;
  for (uint32_t v : {uint32_t(width), uint32_t(height), 1u, 0u, 0u, 0u, 0u}) PutBe32(mhdr, v);
  chunk("MHDR", mhdr);
  out.insert(out.end(), png.begin() + 8, png.end());
  chunk("MEND", {});
  return out;
}

// An uncompressed 24-bit TGA, top row first, with the footer of version 2.
Bytes TgaOf(const fixture::Picture& p) {
  Bytes out(18, 0);
  out[2] = 2;
  out[12] = uint8_t(p.width);
  out[13] = uint8_t(p.width >> 8);
  out[14] = uint8_t(p.height);
  out[15] = uint8_t(p.height >> 8);
  out[16] = 24;
  out[17] = 0x20;
  for (uint32_t c : p.rgb) out.insert(out.end(), {uint8_t(c), uint8_t(c >> 8), uint8_t(c >> 16)});
  const char footer[] = "\0\0\0\0\0\0\0\0TRUEVISION-XFILE.";
  out.insert(out.end(), footer, footer + sizeof footer);
  return out;
}

class PictureViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_dir.isValid());
    m_pane.resize(800, 300);
    m_pane.show();
    // Decoding is judged here, not the speed of a busy machine.
    helper::Limits generous;
    generous.time = std::chrono::seconds(60);
    SetDecodeLimits(generous);
  }
  void TearDown() override {
    SetDecodeHelperPath(QString());
    SetDecodeLimits({});
  }

  QString Write(const QString& name, const Bytes& bytes) {
    const QString path = m_dir.filePath(name);
    std::ofstream(path.toStdString(), std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return path;
  }
  // The picture the pane shows, or a null image when it shows none.
  QImage Shown() const {
    auto* view = qobject_cast<CPictureView*>(m_pane.ChildView());
    return view ? view->Image() : QImage();
  }

  QTemporaryDir m_dir;
  CTarvelStaticFileViewer m_pane;
};

bool SameColour(QRgb a, QRgb b, int tolerance) {
  return std::abs(qRed(a) - qRed(b)) <= tolerance && std::abs(qGreen(a) - qGreen(b)) <= tolerance &&
         std::abs(qBlue(a) - qBlue(b)) <= tolerance;
}

TEST_F(PictureViewTest, EveryFormatOfTheGroupIsShown) {
  const fixture::Picture colour = fixture::QuadrantPicture(13, 9), stripes = fixture::StripePicture(21, 7);
  const QImage colourImage = ToQImage(colour), stripeImage = ToQImage(stripes);
  Bytes cur = QtBytes(colourImage, "ico");
  cur[2] = 2;  // an icon file with type 2 is a cursor file
  const Bytes png = QtBytes(colourImage, "png");
  const fixture::Picture raw = fixture::QuadrantPicture(64, 48);
  // JPEG is lossy: the picture must be what Qt decodes from the same bytes.
  const Bytes jpeg = QtBytes(colourImage, "jpeg", 100);
  const QImage jpegHere = QImage::fromData(QByteArray(reinterpret_cast<const char*>(jpeg.data()), qsizetype(jpeg.size())));

  struct Case {
    const char* name;
    Bytes bytes;
    QImage expected;  // compared pixel by pixel (null: only the size)
    QSize size;
  };
  const std::vector<Case> cases = {
      {"a.bmp", QtBytes(colourImage, "bmp"), colourImage, {13, 9}},
      {"a.png", png, colourImage, {13, 9}},
      {"a.jpg", jpeg, jpegHere, {13, 9}},
      {"a.jpeg", jpeg, jpegHere, {13, 9}},
      {"a.tif", QtBytes(colourImage, "tiff"), colourImage, {13, 9}},
      {"a.tiff", fixture::TiffPages({colour}), colourImage, {13, 9}},
      {"a.ico", QtBytes(colourImage, "ico"), colourImage, {13, 9}},
      {"a.cur", cur, colourImage, {13, 9}},
      {"a.tga", TgaOf(colour), colourImage, {13, 9}},
      {"b.tga", fixture::TgaFile(colour, true, false), colourImage, {13, 9}},
      {"a.wbmp", QtBytes(stripeImage.convertToFormat(QImage::Format_Mono), "wbmp"), stripeImage, {21, 7}},
      {"a.pnm", QtBytes(colourImage, "ppm"), colourImage, {13, 9}},
      {"a.mng", MngOf(png, 13, 9), colourImage, {13, 9}},
      {"a.pcx", fixture::PcxFile(colour, 24), colourImage, {13, 9}},
      {"b.pcx", fixture::PcxFile(stripes, 1), stripeImage, {21, 7}},
      {"a.ras", fixture::SunRasterFile(colour, 8, true), colourImage, {13, 9}},
      {"a.pgx", fixture::PgxFile(stripes, 12, true, false), stripeImage, {21, 7}},
      {"a.ska", fixture::SkaFile(colour), colourImage, {13, 9}},
      {"a.jbg", fixture::JbigFile(stripes), stripeImage, {21, 7}},
      {"a.jp2", fixture::Jpeg2000File(colour, true), colourImage, {13, 9}},
      {"a.wmf", fixture::WmfFile(40, 30), QImage(), {40, 30}},
      {"a.dng", fixture::DngFile(raw), QImage(), {64, 48}},
      {"a.nef", fixture::DngFile(raw), QImage(), {64, 48}},
      {"a.raw", fixture::DngFile(raw), QImage(), {64, 48}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(ShowPictureIn(m_pane, Write(QString::fromLatin1(c.name), c.bytes)));
    const QImage shown = Shown();
    ASSERT_EQ(shown.size(), c.size);
    for (int y = 0; !c.expected.isNull() && y < c.size.height(); ++y)
      for (int x = 0; x < c.size.width(); ++x)
        ASSERT_EQ(shown.pixel(x, y), c.expected.pixel(x, y)) << x << "," << y;
  }
  // The metafile: white background, red left half, blue bottom-right quarter.
  ASSERT_TRUE(ShowPictureIn(m_pane, Write("shapes.wmf", fixture::WmfFile(40, 30))));
  EXPECT_TRUE(SameColour(Shown().pixel(8, 15), qRgb(255, 0, 0), 8));
  EXPECT_TRUE(SameColour(Shown().pixel(32, 25), qRgb(0, 0, 255), 8));
  EXPECT_TRUE(SameColour(Shown().pixel(32, 5), qRgb(255, 255, 255), 8));
}

TEST_F(PictureViewTest, RecognisedByContentAndFirstPageOnly) {
  const QImage colourImage = ToQImage(fixture::QuadrantPicture(13, 9));
  ASSERT_TRUE(ShowPictureIn(m_pane, Write("photo.jpg", QtBytes(colourImage, "png"))));
  EXPECT_EQ(Shown(), colourImage);

  const Bytes pages = fixture::TiffPages({fixture::QuadrantPicture(13, 9), fixture::StripePicture(21, 7)});
  ASSERT_TRUE(ShowPictureIn(m_pane, Write("pages.tif", pages)));
  EXPECT_EQ(Shown(), colourImage);
}

TEST_F(PictureViewTest, LargePictureIsCutAtThePaneUnscaled) {
  QImage big(3000, 2000, QImage::Format_RGB32);
  for (int y = 0; y < big.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(big.scanLine(y));
    for (int x = 0; x < big.width(); ++x) line[x] = qRgb(x % 256, y % 256, (x / 7 + y / 5) % 256);
  }
  const Bytes jpeg = QtBytes(big, "jpeg", 90);
  ASSERT_TRUE(ShowPictureIn(m_pane, Write("big.jpg", jpeg)));
  const QImage decodedHere = QImage::fromData(QByteArray(reinterpret_cast<const char*>(jpeg.data()), qsizetype(jpeg.size())));
  ASSERT_EQ(Shown().size(), QSize(3000, 2000));
  EXPECT_EQ(Shown().convertToFormat(QImage::Format_RGB32), decodedHere.convertToFormat(QImage::Format_RGB32));

  QWidget* view = m_pane.ChildView();
  EXPECT_EQ(view->geometry(), QRect(0, 0, 800, 300));
  const QImage onScreen = m_pane.grab().toImage().convertToFormat(QImage::Format_RGB32);
  ASSERT_EQ(onScreen.size(), QSize(800, 300));
  EXPECT_EQ(onScreen, decodedHere.copy(0, 0, 800, 300).convertToFormat(QImage::Format_RGB32));

  // A small picture leaves the rest of the pane white.
  ASSERT_TRUE(ShowPictureIn(m_pane, Write("small.png", QtBytes(ToQImage(fixture::QuadrantPicture(13, 9)), "png"))));
  const QImage small = m_pane.grab().toImage();
  EXPECT_EQ(small.pixel(0, 0), qRgb(255, 0, 0));
  EXPECT_EQ(small.pixel(13, 0), qRgb(255, 255, 255));
  EXPECT_EQ(small.pixel(799, 299), qRgb(255, 255, 255));
}

TEST_F(PictureViewTest, DamagedFilesOfOurDecodersFail) {
  const fixture::Picture colour = fixture::QuadrantPicture(13, 9);
  auto cut = [](Bytes b, size_t keep) {
    b.resize(keep);
    return b;
  };
  const Bytes pcx = fixture::PcxFile(colour, 24), ras = fixture::SunRasterFile(colour, 24, true);
  const Bytes pgx = fixture::PgxFile(colour, 16, false, true), ska = fixture::SkaFile(colour);
  const std::vector<std::pair<QString, Bytes>> cases = {
      {"cut.pcx", cut(pcx, pcx.size() - 5)}, {"cut.ras", cut(ras, ras.size() - 3)},
      {"cut.pgx", cut(pgx, pgx.size() - 1)}, {"cut.ska", cut(ska, ska.size() - 1)},
      {"empty.png", {}},                      {"text.jpg", fixture::FromText("no picture here")},
  };
  for (const auto& [name, bytes] : cases) {
    EXPECT_FALSE(ShowPictureIn(m_pane, Write(name, bytes))) << name.toStdString();
    EXPECT_EQ(m_pane.ChildView(), nullptr) << name.toStdString();
  }
}

TEST_F(PictureViewTest, MisbehavingHelperFailsWithinItsLimits) {
  SetDecodeHelperPath(QStringLiteral(QUILLON_MISBEHAVING_HELPER));
  SetDecodeLimits({});  // the real limits: 5 s, 1 GiB
  using Clock = std::chrono::steady_clock;
  struct Case {
    const char* text;
    helper::Outcome outcome;
  };
  for (const Case& c : {Case{"QUILLON-TEST crash", helper::Outcome::Crashed},
                        Case{"QUILLON-TEST hang", helper::Outcome::TimedOut},
                        Case{"QUILLON-TEST eat memory", helper::Outcome::Crashed}}) {
    SCOPED_TRACE(c.text);
    const QString path = Write("evil.png", fixture::FromText(c.text));
    const auto start = Clock::now();
    const PictureDecode decoded = DecodePictureFile(path);
    EXPECT_EQ(decoded.outcome, c.outcome) << helper::OutcomeName(decoded.outcome);
    EXPECT_TRUE(decoded.image.isNull());
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(8));
    EXPECT_FALSE(ShowPictureIn(m_pane, path));
  }
  // The window goes on: the same helper still shows a good picture.
  const QImage colourImage = ToQImage(fixture::QuadrantPicture(13, 9));
  ASSERT_TRUE(ShowPictureIn(m_pane, Write("good.png", QtBytes(colourImage, "png"))));
  EXPECT_EQ(Shown(), colourImage);
  EXPECT_TRUE(m_pane.isVisible());
}

// The archive listing runs in the same helper: when it crashes or hangs
// there, the pane shows the hex dump.
TEST_F(PictureViewTest, ArchiveListingInAMisbehavingHelperGivesTheHexDump) {
  SetDecodeHelperPath(QStringLiteral(QUILLON_MISBEHAVING_HELPER));
  SetDecodeLimits({});
  for (const char* text : {"QUILLON-TEST crash", "QUILLON-TEST hang"}) {
    const QString path = Write("evil.zip", fixture::FromText(text));
    const auto start = std::chrono::steady_clock::now();
    m_pane.ShowFile(path.toStdString(), "ZIP", m_dir.path().toStdString());
    EXPECT_NE(m_pane.HexDump(), nullptr) << text;
    EXPECT_EQ(m_pane.DumpBuffer().size(), std::string(text).size()) << text;
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(8)) << text;
  }
}

TEST(ArchiveAnswer, RoundTripAndCutAnswers) {
  ArchiveListResult listed;
  listed.listing = ArchiveListing{{{u"dir", u"+"}, {u"dir/\u00e9t\u00e9.txt", u"-"}, {u"odd", u""}}};
  const std::vector<uint8_t> answer = EncodeArchiveAnswer(listed);
  const ArchiveListResult back = DecodeArchiveAnswer(answer);
  ASSERT_TRUE(back.listing);
  ASSERT_EQ(back.listing->Count(), 3u);
  EXPECT_EQ(back.listing->records[1].path, u"dir/\u00e9t\u00e9.txt");
  EXPECT_EQ(back.listing->records[2].folderFlag, u"");
  for (size_t size = 0; size < answer.size(); ++size)
    EXPECT_FALSE(DecodeArchiveAnswer(std::span(answer.data(), size)).listing) << size;

  ArchiveListResult failed;
  failed.error = "not an archive";
  const ArchiveListResult error = DecodeArchiveAnswer(EncodeArchiveAnswer(failed));
  EXPECT_FALSE(error.listing);
  EXPECT_EQ(error.error, "not an archive");
  // A count larger than the answer could hold is refused before anything is made.
  std::vector<uint8_t> huge = {'Q', 'A', 'R', 'C', 'L', 0xFF, 0xFF, 0xFF, 0xFF};
  EXPECT_FALSE(DecodeArchiveAnswer(huge).listing);
}

}  // namespace
