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

// Qt's image plugins: BMP, JPEG, PNG, TIFF, ICO, CUR, TGA, WBMP, PNM, MNG and
// the rest Qt reads; the format is taken from the content.
// A TGA file has no signature at its start: Qt recognises it only when asked
// for TGA by name.
QImage ReadWithQt(Bytes file, const char* format) {
  const QByteArray data = QByteArray::fromRawData(reinterpret_cast<const char*>(file.data()), qsizetype(file.size()));
  QBuffer buffer;
  buffer.setData(data);
  if (!buffer.open(QIODevice::ReadOnly)) return QImage();
  QImageReader reader(&buffer, format);
  reader.setDecideFormatFromContent(*format == 0);
  return reader.read();
}

Decoded DecodeWithQt(Bytes file) {
  QImage read = ReadWithQt(file, "");
  if (read.isNull()) read = ReadWithQt(file, "tga");
  if (read.isNull()) return std::nullopt;
  const QImage argb = read.convertToFormat(QImage::Format_ARGB32);
  auto image = MakeImage(uint64_t(argb.width()), uint64_t(argb.height()));
  if (!image) return std::nullopt;
  for (int y = 0; y < argb.height(); ++y)
    std::memcpy(image->Row(y), argb.constScanLine(y), size_t(argb.width()) * 4);
  return image;
}

}  // namespace

Decoded DecodeAnyPicture(Bytes file, FirstDecoder first) {
  if (file.empty()) return std::nullopt;
  if (first) {
    if (auto image = first(file)) return image;
  }
  // Formats with a signature of their own.
  for (auto decode : {DecodeSka, DecodeSunRaster, DecodePcx, DecodePgx})
    if (auto image = decode(file)) return image;
  if (IsJpeg2000(file)) return DecodeJpeg2000(file);
  if (IsWmf(file)) {
    const std::vector<uint8_t> png = RenderWmfAsPng(file);
    return png.empty() ? std::nullopt : DecodeWithQt(png);
  }
  // Camera RAW files built on TIFF are read as RAW, not as their TIFF
  // thumbnail; a plain TIFF is left to Qt.
  std::vector<uint8_t> embedded;
  const bool tiff = IsTiff(file);
  if (tiff) {
    if (auto image = DecodeCameraRaw(file, embedded)) return image;
    if (!embedded.empty()) {
      if (auto image = DecodeWithQt(embedded)) return image;
    }
  }
  if (auto image = DecodeWithQt(file)) return image;
  if (auto image = DecodeJbig(file)) return image;
  if (!tiff) {
    if (auto image = DecodeCameraRaw(file, embedded)) return image;
    if (!embedded.empty()) return DecodeWithQt(embedded);
  }
  return std::nullopt;
}

int RunDecodeHelper(int argc, char** argv, FirstDecoder first) {
  if (argc != 3 || std::string_view(argv[1]) != "picture") return 2;
  QCoreApplication application(argc, argv);
  std::vector<uint8_t> bytes;
  if (!ReadWholeFile(argv[2], bytes)) return 1;
  const Decoded image = DecodeAnyPicture(bytes, first);
  if (!image) return 1;
  return WriteAnswer(helper::kAnswerFd, *image) ? 0 : 1;
}

}  // namespace picture
