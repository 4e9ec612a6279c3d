#include "picture_decoding.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "picture_answer.h"

namespace {

QString& HelperOverride() {
  static QString path;
  return path;
}

helper::Limits& Limits() {
  static helper::Limits limits;
  return limits;
}

}  // namespace

void SetDecodeLimits(const helper::Limits& limits) { Limits() = limits; }
const helper::Limits& DecodeLimits() { return Limits(); }

QString DecodeHelperPath() {
  if (!HelperOverride().isEmpty()) return HelperOverride();
  if (QCoreApplication::instance()) {
    const QString beside = QCoreApplication::applicationDirPath() + QStringLiteral("/quillon-decode");
    if (QFileInfo(beside).isExecutable()) return beside;
  }
  return QStringLiteral(QUILLON_DECODE_HELPER_BUILT);
}

void SetDecodeHelperPath(const QString& path) { HelperOverride() = path; }

namespace {

bool ReadAt(int fd, void* to, size_t size, uint64_t offset) {
  auto* p = static_cast<uint8_t*>(to);
  while (size > 0) {
    const ssize_t n = ::pread(fd, p, size, off_t(offset));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    p += n;
    size -= size_t(n);
    offset += uint64_t(n);
  }
  return true;
}

}  // namespace

PictureDecode DecodePictureFile(const QString& path, const helper::Limits& limits) {
  PictureDecode result;
  QImage image;
  // The pixels go from the helper's answer straight into the image.
  auto take = [&](int fd, uint64_t size) {
    uint8_t header[picture::kAnswerHeader];
    if (size < sizeof header || !ReadAt(fd, header, sizeof header, 0)) return false;
    const auto checked = picture::CheckAnswerHeader(header, size);
    if (!checked) return false;
    image = QImage(checked->width, checked->height, QImage::Format_ARGB32);
    if (image.isNull()) return false;
    const size_t rowBytes = size_t(checked->width) * 4;
    if (size_t(image.bytesPerLine()) == rowBytes)
      return ReadAt(fd, image.bits(), rowBytes * size_t(checked->height), sizeof header);
    for (int y = 0; y < checked->height; ++y)
      if (!ReadAt(fd, image.scanLine(y), rowBytes, sizeof header + uint64_t(y) * rowBytes)) return false;
    return true;
  };
  const helper::Run run = helper::RunHelper(DecodeHelperPath().toStdString(),
                                            {"picture", QFile::encodeName(path).toStdString()}, limits, take);
  result.outcome = run.outcome;
  if (run.outcome == helper::Outcome::Answered) result.image = std::move(image);
  return result;
}
