#include "list/shell_file_info.h"

#include <QApplication>
#include <QDir>
#include <QMimeType>
#include <QStandardPaths>
#include <QStyle>

namespace {

constexpr char kPreferredTheme[] = "Adwaita";
constexpr char kProbeIcon[] = "text-x-generic";

QIcon StandardIcon(QStyle::StandardPixmap which) { return QApplication::style()->standardIcon(which); }

}  // namespace

int ShellImageList::Add(const QIcon& icon) {
  m_icons.push_back(icon);
  return int(m_icons.size()) - 1;
}

const QIcon& ShellImageList::Icon(int index) const {
  if (index < 0 || index >= Count()) return m_none;
  return m_icons[size_t(index)];
}

void CShellFileInfo::EnsureIconTheme() {
  static bool done = false;
  if (done) return;
  done = true;

  QStringList paths = QIcon::themeSearchPaths();
  QStringList wanted{QDir::homePath() + QStringLiteral("/.icons")};
  for (const QString& dir : QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation))
    wanted << QDir(dir).filePath(QStringLiteral("icons"));
  for (const QString& dir : wanted)
    if (!paths.contains(dir)) paths << dir;
  QIcon::setThemeSearchPaths(paths);
  if (QIcon::fallbackThemeName().isEmpty()) QIcon::setFallbackThemeName(QStringLiteral("hicolor"));

  // A desktop theme that has file-type icons is kept; otherwise (none set,
  // or only the base theme) the preferred one is used.
  if (!QIcon::hasThemeIcon(QString::fromLatin1(kProbeIcon))) {
    const QString previous = QIcon::themeName();
    QIcon::setThemeName(QString::fromLatin1(kPreferredTheme));
    if (!QIcon::hasThemeIcon(QString::fromLatin1(kProbeIcon))) QIcon::setThemeName(previous);
  }
}

CShellFileInfo::CShellFileInfo() {
  EnsureIconTheme();
  // Image 0 first, so that it has index 0.
  ThemeImage({QStringLiteral("drive-removable-media"), QStringLiteral("media-removable"),
              QStringLiteral("drive-harddisk")},
             StandardIcon(QStyle::SP_DriveHDIcon));
  m_folderImage = ThemeImage({QStringLiteral("folder"), QStringLiteral("inode-directory")},
                             StandardIcon(QStyle::SP_DirIcon));
  m_documentImage = ThemeImage({QStringLiteral("application-x-generic"), QStringLiteral("text-x-generic")},
                               StandardIcon(QStyle::SP_FileIcon));
}

int CShellFileInfo::ThemeImage(std::initializer_list<QString> names, const QIcon& fallback) {
  const int image = FindThemeImage(names);
  return image >= 0 ? image : m_images.Add(fallback);
}

int CShellFileInfo::FindThemeImage(std::initializer_list<QString> names) {
  for (const QString& name : names) {
    if (name.isEmpty()) continue;
    const auto known = m_imageByIconName.constFind(name);
    if (known != m_imageByIconName.constEnd()) return known.value();
    if (!QIcon::hasThemeIcon(name)) continue;
    const int image = m_images.Add(QIcon::fromTheme(name));
    m_imageByIconName.insert(name, image);
    return image;
  }
  return -1;
}

QStringView CShellFileInfo::Extension(QStringView fileName) {
  const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
  return dot < 0 ? QStringView() : fileName.mid(dot + 1);
}

const CShellFileInfo::FileKind& CShellFileInfo::Lookup(QStringView fileName) {
  m_lookupKey = Extension(fileName).toString().toLower();
  const auto known = m_kinds.constFind(m_lookupKey);
  if (known != m_kinds.constEnd()) return known.value();
  return m_kinds.insert(m_lookupKey, Resolve(m_lookupKey)).value();
}

CShellFileInfo::FileKind CShellFileInfo::Resolve(const QString& lowerExtension) {
  FileKind kind;
  const QMimeType type =
      lowerExtension.isEmpty()
          ? m_mimeDb.mimeTypeForName(QStringLiteral("application/octet-stream"))
          : m_mimeDb.mimeTypeForFile(QStringLiteral("x.") + lowerExtension, QMimeDatabase::MatchExtension);
  if (!type.isValid() || type.isDefault()) {
    // A kind the database does not know: named after its extension, as a
    // desktop shell names unregistered files.
    kind.typeName = lowerExtension.isEmpty() ? QStringLiteral("File")
                                             : lowerExtension.toUpper() + QStringLiteral(" File");
    kind.image = m_documentImage;
    return kind;
  }
  kind.typeName = type.comment();
  kind.image = FindThemeImage({type.iconName(), type.genericIconName()});
  if (kind.image < 0) kind.image = m_documentImage;
  return kind;
}
