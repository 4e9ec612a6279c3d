#pragma once
// The archive list of the preview pane: one row per entry with the columns
// "File Name" (the entry's path) and "File Type" ("Folder" for a folder, else
// the type text of the entry's name), each with a small icon.

#include <QTableWidget>

#include "archive_listing.h"

class IFileKindSource;

inline constexpr int kArchiveListId = 315;
inline constexpr char kArchiveNameColumn[] = "File Name";
inline constexpr char kArchiveTypeColumn[] = "File Type";
inline constexpr char kArchiveFolderType[] = "Folder";

class CArchiveListView : public QTableWidget {
  Q_OBJECT
 public:
  CArchiveListView(const QFont& headerFont, QWidget* parent);
  // Adds the rows of a listing; source may be none (no icons, generic types).
  void Fill(const ArchiveListing& listing, IFileKindSource* source);
};
