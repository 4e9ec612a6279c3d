#include "picture_decoding.h"

#include "install_layout.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

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
    // Installed: the helper stands in the libexec folder of the package.
    const QString installed = QCoreApplication::applicationDirPath() + QLatin1Char('/') +
                              QString::fromLatin1(kInstalledLibexecDir) + QStringLiteral("/quillon-decode");
    if (QFileInfo(installed).isExecutable()) return installed;
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
    // The image is the helper's answer itself, mapped in one go: no copy.
    void* mapped = ::mmap(nullptr, size_t(size), PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_POPULATE, fd, 0);
    if (mapped == MAP_FAILED) return false;
    auto* mapping = new std::pair<void*, size_t>(mapped, size_t(size));
    image = QImage(static_cast<uchar*>(mapped) + picture::kAnswerHeader, checked->width, checked->height,
                   qsizetype(checked->width) * 4, QImage::Format_ARGB32,
                   [](void* info) {
                     auto* m = static_cast<std::pair<void*, size_t>*>(info);
                     ::munmap(m->first, m->second);
                     delete m;
                   },
                   mapping);
    if (image.isNull()) {
      ::munmap(mapped, size_t(size));
      delete mapping;
      return false;
    }
    return true;
  };
  const helper::Run run = helper::RunHelper(DecodeHelperPath().toStdString(),
                                            {"picture", QFile::encodeName(path).toStdString()}, limits, take);
  result.outcome = run.outcome;
  if (run.outcome == helper::Outcome::Answered) result.image = std::move(image);
  return result;
}
