#include "file_type.h"

#include <QMimeDatabase>
#include <QString>

std::string FileTypeName(const std::u16string& fileName) {
  const QString name = QString::fromStdU16String(fileName);
  const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
  const QString extension = dot < 0 ? QString() : name.mid(dot + 1).toLower();
  static const QMimeDatabase database;
  const QMimeType type =
      extension.isEmpty() ? database.mimeTypeForName(QStringLiteral("application/octet-stream"))
                          : database.mimeTypeForFile(QStringLiteral("x.") + extension, QMimeDatabase::MatchExtension);
  if (!type.isValid() || type.isDefault())
    return extension.isEmpty() ? std::string("File") : (extension.toUpper() + QStringLiteral(" File")).toStdString();
  return type.comment().toStdString();
}
