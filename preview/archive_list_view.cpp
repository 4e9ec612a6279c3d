#include "archive_list_view.h"

#include <QHeaderView>
#include <QMimeDatabase>

#include "file_kind_source.h"

CArchiveListView::CArchiveListView(const QFont& headerFont, QWidget* parent) : QTableWidget(parent) {
  setObjectName(QStringLiteral("archiveList"));
  setProperty("controlId", kArchiveListId);
  setAccessibleName(QStringLiteral("Archive contents"));
  setColumnCount(2);
  setHorizontalHeaderLabels({QString::fromLatin1(kArchiveNameColumn), QString::fromLatin1(kArchiveTypeColumn)});
  horizontalHeader()->setFont(headerFont);
  horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  horizontalHeader()->setStretchLastSection(false);
  setColumnWidth(0, 200);
  setColumnWidth(1, 200);
  verticalHeader()->hide();
  verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setShowGrid(true);
  setWordWrap(false);
  setFrameShape(QFrame::Box);
}

void CArchiveListView::Fill(const ArchiveListing& listing, IFileKindSource* source) {
  static const QMimeDatabase mimeDb;
  setUpdatesEnabled(false);
  setRowCount(int(listing.Count()));
  int row = 0;
  for (const ArchiveEntryRecord& record : listing.records) {
    const QString path = QString::fromStdU16String(record.path);
    const qsizetype slash = std::max(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
    const QStringView name = QStringView(path).mid(slash + 1);
    const bool folder = record.IsFolder();
    auto* nameItem = new QTableWidgetItem(path);
    QString type;
    if (folder) {
      type = QString::fromLatin1(kArchiveFolderType);
      if (source) nameItem->setIcon(source->Icon(source->FolderIconIndex()));
    } else if (source) {
      nameItem->setIcon(source->Icon(source->FileIconIndex(name)));
      type = source->FileTypeName(name);
    } else {
      type = mimeDb.mimeTypeForFile(name.toString(), QMimeDatabase::MatchExtension).comment();
    }
    setItem(row, 0, nameItem);
    setItem(row, 1, new QTableWidgetItem(type));
    ++row;
  }
  setUpdatesEnabled(true);
}
