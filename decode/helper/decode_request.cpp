#include "decode_request.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QBuffer>
#include <QByteArray>
#include <QCoreApplication>
#include <QImage>
#include <QImageReader>
#include <cerrno>
#include <cstring>
#include <string_view>
#include <vector>

#include "archive_answer.h"
#include "helper_process.h"
#include "library_decoders.h"
#include "own_decoders.h"
#include "picture_answer.h"

namespace picture {
namespace {

// Larger files are not pictures the preview shows.
constexpr off_t kMaxFileBytes = 256 * 1024 * 1024;

// Reads a regular file whole; never blocks on a FIFO or a device and never
// follows a symbolic link.
bool ReadWholeFile(const char* path, std::vector<uint8_t>& bytes) {
  const int fd = ::open(path, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat st {};
  bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size <= kMaxFileBytes;
  if (ok) {
    bytes.resize(size_t(st.st_size));
    size_t done = 0;
    while (ok && done < bytes.size()) {
      const ssize_t n = ::read(fd, bytes.data() + done, bytes.size() - done);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) ok = false;
      else done += size_t(n);
    }
  }
  ::close(fd);
  return ok;
}

bool WriteAnswer(int fd, const std::vector<uint8_t>& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += size_t(n);
  }
  return true;
}

// The Qt format of the common signatures: naming it spares loading every
// image plugin to ask each whether it knows the bytes.
const char* FormatHint(Bytes file) {
  auto starts = [&](std::string_view magic) {
    return file.size() >= magic.size() && std::memcmp(file.data(), magic.data(), magic.size()) == 0;
  };
  if (starts("\xFF\xD8\xFF")) return "jpeg";
  if (starts("\x89PNG\r\n\x1A\n")) return "png";
  if (starts("BM")) return "bmp";
  return "";
}

QImage ReadWithQt(Bytes file, const char* format) {
  const QByteArray data = QByteArray::fromRawData(reinterpret_cast<const char*>(file.data()), qsizetype(file.size()));
  QBuffer buffer;
  buffer.setData(data);
  if (!buffer.open(QIODevice::ReadOnly)) return QImage();
  QImageReader reader(&buffer, format);
  reader.setDecideFormatFromContent(*format == 0);
  return reader.read();
}

// Qt's image plugins: BMP, JPEG, PNG, TIFF, ICO, CUR, TGA, WBMP, PNM, MNG and
// the rest Qt reads; the format is taken from the content. A TGA file has no
// signature at its start: Qt recognises it only when asked for TGA by name.
QImage DecodeWithQt(Bytes file) {
  QImage read;
  if (const char* hint = FormatHint(file); *hint) read = ReadWithQt(file, hint);
  if (read.isNull()) read = ReadWithQt(file, "");
  if (read.isNull()) read = ReadWithQt(file, "tga");
  if (read.isNull() || uint64_t(read.width()) * uint64_t(read.height()) > kMaxPixels) return QImage();
  if (read.format() != QImage::Format_RGB32 && read.format() != QImage::Format_ARGB32)
    read = read.convertToFormat(QImage::Format_ARGB32);
  return read;
}

AnyPicture Own(Decoded image) { return AnyPicture{std::move(image), QImage()}; }
AnyPicture FromQt(QImage image) { return AnyPicture{std::nullopt, std::move(image)}; }

}  // namespace

AnyPicture DecodeAnyPicture(Bytes file, FirstDecoder first) {
  if (file.empty()) return {};
  if (first) {
    if (auto image = first(file)) return Own(std::move(image));
  }
  // Formats with a signature of their own.
  for (auto decode : {DecodeSka, DecodeSunRaster, DecodePcx, DecodePgx})
    if (auto image = decode(file)) return Own(std::move(image));
  if (IsJpeg2000(file)) return Own(DecodeJpeg2000(file));
  if (IsWmf(file)) {
    const std::vector<uint8_t> png = RenderWmfAsPng(file);
    return png.empty() ? AnyPicture{} : FromQt(DecodeWithQt(png));
  }
  // Camera RAW files built on TIFF are read as RAW, not as their TIFF
  // thumbnail; a plain TIFF is left to Qt.
  std::vector<uint8_t> embedded;
  const bool tiff = IsTiff(file);
  if (tiff) {
    if (auto image = DecodeCameraRaw(file, embedded)) return Own(std::move(image));
    if (!embedded.empty()) {
      if (QImage image = DecodeWithQt(embedded); !image.isNull()) return FromQt(std::move(image));
    }
  }
  if (QImage image = DecodeWithQt(file); !image.isNull()) return FromQt(std::move(image));
  if (auto image = DecodeJbig(file)) return Own(std::move(image));
  // TGA has no signature: tried after every format that has one.
  if (auto image = DecodeTga(file)) return Own(std::move(image));
  if (!tiff) {
    if (auto image = DecodeCameraRaw(file, embedded)) return Own(std::move(image));
    if (!embedded.empty()) return FromQt(DecodeWithQt(embedded));
  }
  return {};
}

int RunDecodeHelper(int argc, char** argv, FirstDecoder first) {
  const bool pictureRequest = argc == 3 && std::string_view(argv[1]) == "picture";
  const bool archiveRequest = argc == 4 && std::string_view(argv[1]) == "archive";
  if (!pictureRequest && !archiveRequest) return 2;
  QCoreApplication application(argc, argv);
  std::vector<uint8_t> bytes;
  if (archiveRequest) {
    // The first decoder sees the bytes of an archive too (the tests' way to
    // make the listing misbehave).
    if (first && ReadWholeFile(argv[2], bytes)) first(bytes);
    const std::vector<uint8_t> answer = EncodeArchiveAnswer(ListArchive(argv[2], argv[3]));
    return WriteAnswer(helper::kAnswerFd, answer) ? 0 : 1;
  }
  if (!ReadWholeFile(argv[2], bytes)) return 1;
  const AnyPicture image = DecodeAnyPicture(bytes, first);
  if (image.Empty()) return 1;
  if (image.own) return WriteAnswer(helper::kAnswerFd, *image.own) ? 0 : 1;
  const QImage& qt = image.qt;
  return WriteAnswer(helper::kAnswerFd, qt.width(), qt.height(),
                     [&](int y) { return reinterpret_cast<const uint32_t*>(qt.constScanLine(y)); })
             ? 0
             : 1;
}

}  // namespace picture
