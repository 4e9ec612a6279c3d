#include "picture_decoding.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
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

PictureDecode DecodePictureFile(const QString& path, const helper::Limits& limits) {
  PictureDecode result;
  const helper::Run run = helper::RunHelper(DecodeHelperPath().toStdString(),
                                            {"picture", QFile::encodeName(path).toStdString()}, limits);
  result.outcome = run.outcome;
  if (run.outcome != helper::Outcome::Answered) return result;
  const auto size = picture::CheckAnswer(run.answer);
  if (!size) {
    result.outcome = helper::Outcome::Refused;
    return result;
  }
  QImage image(size->width, size->height, QImage::Format_ARGB32);
  if (image.isNull()) {
    result.outcome = helper::Outcome::Refused;
    return result;
  }
  const uint8_t* pixels = run.answer.data() + picture::kAnswerHeader;
  const size_t rowBytes = size_t(size->width) * 4;
  for (int y = 0; y < size->height; ++y) std::memcpy(image.scanLine(y), pixels + y * rowBytes, rowBytes);
  result.image = std::move(image);
  return result;
}
