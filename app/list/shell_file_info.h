#pragma once
// Icons and type names of files, answered from the file name alone: the
// freedesktop MIME database gives the type of a name's extension, its comment
// is the type text and its icon name is looked up in the icon theme (with the
// generic icon of the type, then a plain document picture, as fallbacks).
// Answers are kept per extension, so a folder of many files costs one lookup
// per kind of file. The icons live in one image list that the folder tree and
// the file list share and address by index.

#include <QHash>
#include <QIcon>
#include <QMimeDatabase>
#include <QString>
#include <QStringView>
#include <vector>

// The small image list: icons by index, shared by the tree and the list.
class ShellImageList {
 public:
  int Add(const QIcon& icon);
  // The icon at index; an empty icon for an index outside the list.
  const QIcon& Icon(int index) const;
  int Count() const { return int(m_icons.size()); }

 private:
  std::vector<QIcon> m_icons;
  QIcon m_none;
};

class CShellFileInfo {
 public:
  // Image 0: the backup medium, used by the top level of the folder tree and
  // by placeholders.
  static constexpr int kMediaImage = 0;

  // What a file name's extension stands for.
  struct FileKind {
    int image = 0;
    QString typeName;
  };

  // Makes the icon theme reachable (see EnsureIconTheme) and fills image 0
  // and the folder image.
  CShellFileInfo();

  // Small icon index of a directory.
  int GetFolderIconIndex() const { return m_folderImage; }
  // Small icon index for a file name, by its extension.
  int GetFileIconIndex(QStringView fileName) { return Lookup(fileName).image; }
  // The type text for a file name, by its extension.
  QString GetFileTypeName(QStringView fileName) { return Lookup(fileName).typeName; }
  // Both at once. The reference stays valid until the next lookup of a new
  // extension.
  const FileKind& Lookup(QStringView fileName);

  const ShellImageList& ImageList() const { return m_images; }

  // The text after the last "." of a name; empty when there is none.
  static QStringView Extension(QStringView fileName);

  // Adds the system's icon folders to the theme search path (a platform
  // without a desktop theme leaves only the program's own resources there)
  // and picks a theme that has file-type icons when the current one has
  // none. Runs once per process.
  static void EnsureIconTheme();

 private:
  FileKind Resolve(const QString& lowerExtension);
  // The image of the first of the icon names that the theme has, added once;
  // -1 when it has none of them.
  int FindThemeImage(std::initializer_list<QString> names);
  // The same, with `fallback` added as the image when the theme has none.
  int ThemeImage(std::initializer_list<QString> names, const QIcon& fallback);

  QMimeDatabase m_mimeDb;
  ShellImageList m_images;
  QHash<QString, int> m_imageByIconName;
  QHash<QString, FileKind> m_kinds;  // by lower-case extension
  int m_folderImage = 0;
  int m_documentImage = 0;
  QString m_lookupKey;  // scratch, reused to avoid an allocation per name
};
