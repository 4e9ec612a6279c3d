#pragma once
// Where the archive list takes its icons and type texts from: the program
// hands in the same shell information as the main file list (icons looked up
// by file name only, never touching a file).

#include <QIcon>
#include <QString>
#include <QStringView>

class IFileKindSource {
 public:
  virtual ~IFileKindSource() = default;
  virtual int FolderIconIndex() = 0;
  virtual int FileIconIndex(QStringView fileName) = 0;
  virtual QString FileTypeName(QStringView fileName) = 0;
  virtual QIcon Icon(int index) = 0;
};
