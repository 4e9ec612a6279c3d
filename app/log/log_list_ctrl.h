#pragma once
// The log list: one column of text rows without a header, one row selected at
// most, scrolled horizontally over a fixed 1500-pixel column.

#include <QAbstractListModel>
#include <QStringList>
#include <QTreeView>

class LogListModel : public QAbstractListModel {
  Q_OBJECT
 public:
  using QAbstractListModel::QAbstractListModel;
  int rowCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;

  void Append(const QString& text);
  void Clear();
  const QStringList& Rows() const { return m_rows; }

 private:
  QStringList m_rows;
};

class CCustomListCtrl : public QTreeView {
  Q_OBJECT
 public:
  static constexpr int kColumnWidth = 1500;

  explicit CCustomListCtrl(QWidget* parent = nullptr);

  void AppendRow(const QString& text);
  void DeleteAllItems();
  int GetItemCount() const;
  QString GetItemText(int row) const;
  const QStringList& Rows() const { return m_model.Rows(); }
  // Scrolls so that the last row is visible.
  void EnsureLastVisible();

 private:
  LogListModel m_model;
};
