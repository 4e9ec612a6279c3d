#include "search/search_result_list.h"

#include <QHeaderView>
#include <QMouseEvent>
#include <algorithm>

#include "list/file_list_ctrl.h"
#include "list/shell_file_info.h"
#include "system/window_messages.h"

int SearchResultModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : Count(); }

int SearchResultModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : 3; }

QVariant SearchResultModel::data(const QModelIndex& index, int role) const {
  const SearchResultRow* row = At(index.row());
  if (!row) return {};
  switch (role) {
    case Qt::DisplayRole:
      if (index.column() == kNameColumn) return row->text;
      if (index.column() == kTypeColumn) return m_shellInfo ? m_shellInfo->GetFileTypeName(row->text) : QString();
      return QString::number(static_cast<qulonglong>(row->size));
    case Qt::DecorationRole:
      if (index.column() != kNameColumn || !m_shellInfo) return {};
      return m_shellInfo->ImageList().Icon(m_shellInfo->GetFileIconIndex(row->text));
    case Qt::ToolTipRole:
      return row->text;
    default:
      return {};
  }
}

QVariant SearchResultModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
  switch (section) {
    case kNameColumn: return QStringLiteral("File Name");
    case kTypeColumn: return QStringLiteral("File Type");
    default: return QStringLiteral("File Size(Bytes)");
  }
}

void SearchResultModel::Append(std::vector<SearchResultRow>& rows) {
  if (rows.empty()) return;
  beginInsertRows({}, Count(), Count() + int(rows.size()) - 1);
  m_rows.insert(m_rows.end(), std::make_move_iterator(rows.begin()), std::make_move_iterator(rows.end()));
  endInsertRows();
  rows.clear();
}

void SearchResultModel::Clear() {
  beginResetModel();
  std::deque<SearchResultRow>().swap(m_rows);
  endResetModel();
}

void SearchResultModel::RemoveRange(int first, int last) {
  if (first < 0 || last >= Count() || first > last) return;
  beginRemoveRows({}, first, last);
  m_rows.erase(m_rows.begin() + first, m_rows.begin() + last + 1);
  endRemoveRows();
}

size_t SearchResultModel::MemoryBytes() const {
  size_t bytes = m_rows.size() * sizeof(SearchResultRow);
  for (const SearchResultRow& row : m_rows) bytes += size_t(row.text.capacity()) * sizeof(QChar) + 24;
  return bytes;
}

CTarvelListCtrl::CTarvelListCtrl(QWidget* parent) : QTableView(parent) {
  setObjectName(QStringLiteral("searchResultList"));
  setAccessibleName(QStringLiteral("Search results"));
  setModel(&m_model);
  setShowGrid(true);
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setWordWrap(false);
  setCornerButtonEnabled(false);
  setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  setIconSize(QSize(16, 16));
  verticalHeader()->hide();
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  verticalHeader()->setDefaultSectionSize(std::max(fontMetrics().height(), iconSize().height()) + 6);
  QHeaderView* head = horizontalHeader();
  head->setFont(FileListModel::HeaderFont());
  head->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  head->setHighlightSections(false);
  head->setSectionsClickable(false);
  setColumnWidth(SearchResultModel::kNameColumn, kNameWidth);
  setColumnWidth(SearchResultModel::kTypeColumn, kTypeWidth);
  setColumnWidth(SearchResultModel::kSizeColumn, kSizeWidth);
}

void CTarvelListCtrl::SetShellInfo(CShellFileInfo* info) {
  m_model.SetShellInfo(info);
  viewport()->update();
}

QString CTarvelListCtrl::GetItemText(int row, int column) const {
  if (!m_model.At(row)) return {};
  return m_model.data(m_model.index(row, column), Qt::DisplayRole).toString();
}

int64_t CTarvelListCtrl::GetItemData(int row) const {
  const SearchResultRow* r = m_model.At(row);
  return r ? r->record : -1;
}

std::vector<int> CTarvelListCtrl::SelectedRows() const {
  std::vector<int> rows;
  for (const QModelIndex& index : selectionModel()->selectedRows()) rows.push_back(index.row());
  std::sort(rows.begin(), rows.end());
  return rows;
}

void CTarvelListCtrl::SelectRows(const std::vector<int>& rows) {
  QItemSelection selection;
  for (int row : rows)
    if (m_model.At(row)) selection.select(m_model.index(row, 0), m_model.index(row, 2));
  selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

int CTarvelListCtrl::DeleteSelectedRows() {
  const std::vector<int> rows = SelectedRows();
  // Runs of neighbouring rows go at once, the last run first, so the
  // indices still to come stay valid.
  size_t end = rows.size();
  while (end > 0) {
    size_t begin = end - 1;
    while (begin > 0 && rows[begin - 1] + 1 == rows[begin]) --begin;
    m_model.RemoveRange(rows[begin], rows[end - 1]);
    end = begin;
  }
  return int(rows.size());
}

void CTarvelListCtrl::EnsureLastVisible() {
  if (m_model.Count() > 0) scrollTo(m_model.index(m_model.Count() - 1, 0));
}

void CTarvelListCtrl::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && m_target) {
    const QModelIndex index = indexAt(event->position().toPoint());
    // While a process runs the window answers 0 and the click changes nothing.
    if (index.isValid() && m_target->SendMessage(UM_SEARCH_ITEM_CLICKED, uintptr_t(index.row()), 0) == 0) {
      event->accept();
      return;
    }
  }
  QTableView::mousePressEvent(event);
}
