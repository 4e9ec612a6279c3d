#include "log/log_list_ctrl.h"

#include <QHeaderView>

#include "shell/command_ids.h"

int LogListModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : int(m_rows.size()); }

QVariant LogListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= m_rows.size()) return {};
  if (role == Qt::DisplayRole) return m_rows[index.row()];
  return {};
}

void LogListModel::Append(const QString& text) {
  const int row = int(m_rows.size());
  beginInsertRows({}, row, row);
  m_rows.append(text);
  endInsertRows();
}

void LogListModel::Clear() {
  beginResetModel();
  m_rows.clear();
  endResetModel();
}

CCustomListCtrl::CCustomListCtrl(QWidget* parent) : QTreeView(parent) {
  setObjectName(QStringLiteral("logList"));
  setProperty("controlId", IDC_LOG_LIST);
  setModel(&m_model);
  setHeaderHidden(true);
  setRootIsDecorated(false);
  setUniformRowHeights(true);
  setItemsExpandable(false);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setTextElideMode(Qt::ElideNone);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setContextMenuPolicy(Qt::NoContextMenu);
  header()->setStretchLastSection(false);
  setColumnWidth(0, kColumnWidth);
}

void CCustomListCtrl::AppendRow(const QString& text) { m_model.Append(text); }

void CCustomListCtrl::DeleteAllItems() { m_model.Clear(); }

int CCustomListCtrl::GetItemCount() const { return int(m_model.Rows().size()); }

QString CCustomListCtrl::GetItemText(int row) const { return m_model.Rows().value(row); }

void CCustomListCtrl::EnsureLastVisible() {
  if (GetItemCount() > 0) scrollTo(m_model.index(GetItemCount() - 1), QAbstractItemView::PositionAtBottom);
}
