#include "shell/user_guide.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include "install_layout.h"

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

QString InstalledOrBuiltGuide(const QString& programDir) {
  const QDir dir(programDir);
  const QString name = QString::fromLatin1(kUserGuideFileName);
  // The build tree keeps a copy beside the program; an installed program finds
  // it in the documentation folder of its prefix.
  for (const QString& candidate : {dir.filePath(QStringLiteral("docs/") + name),
                                   dir.filePath(QString::fromLatin1(kInstalledDocDir) + QLatin1Char('/') + name)}) {
    const QFileInfo info(candidate);
    if (info.isFile()) return info.canonicalFilePath();
  }
  return {};
}

QString UserGuidePath() {
  const QString found = InstalledOrBuiltGuide(QCoreApplication::applicationDirPath());
  return found.isEmpty() ? ExtractEmbeddedGuide() : found;
}

QUrl ProductPageUrl() {
  const QString path = UserGuidePath();
  return path.isEmpty() ? QUrl(QString::fromLatin1("qrc:/docs/user-guide.html")) : QUrl::fromLocalFile(path);
}
