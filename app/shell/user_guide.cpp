#include "shell/user_guide.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

constexpr char kEmbeddedGuide[] = ":/docs/user-guide.html";

// Writes the built-in guide to the cache folder unless an identical copy is there.
QString ExtractEmbeddedGuide() {
  QFile embedded(QString::fromLatin1(kEmbeddedGuide));
  if (!embedded.open(QIODevice::ReadOnly)) return {};
  const QByteArray content = embedded.readAll();
  const QString folder = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
  if (folder.isEmpty() || !QDir().mkpath(folder)) return {};
  const QString path = QDir(folder).filePath(QString::fromLatin1(kUserGuideFileName));
  QFile existing(path);
  if (existing.open(QIODevice::ReadOnly) && existing.readAll() == content) return path;
  existing.close();
  QFile out(path);
  if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(content) != content.size()) return {};
  return path;
}

}  // namespace

QString UserGuidePath() {
  const QDir programDir(QCoreApplication::applicationDirPath());
  const QString name = QString::fromLatin1(kUserGuideFileName);
  for (const QString& candidate : {programDir.filePath(QStringLiteral("docs/") + name),
                                   programDir.filePath(QStringLiteral("../share/quillon-repair/docs/") + name)}) {
    if (QFileInfo(candidate).isFile()) return QFileInfo(candidate).canonicalFilePath();
  }
  return ExtractEmbeddedGuide();
}

QUrl ProductPageUrl() {
  const QString path = UserGuidePath();
  return path.isEmpty() ? QUrl(QString::fromLatin1("qrc:/docs/user-guide.html")) : QUrl::fromLocalFile(path);
}
