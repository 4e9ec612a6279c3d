#pragma once
// The result list of the search window (class CTarvelListCtrl): report rows
// with the columns "File Name", "File Type" and "File Size(Bytes)", grid lines,
// whole-row selection (several rows at once) and info tips, icons from the
// shell's small image list. A row only refers to its found-file record by
// list index: removing rows never changes the scan result. A left click on
// a row asks the owner window first (UM_SEARCH_ITEM_CLICKED), which refuses
// while a process runs.

#include <QAbstractTableModel>
#include <QTableView>
#include <cstdint>
#include <deque>
#include <vector>

#include "notify.h"

class CShellFileInfo;
class bkf;
struct FoundFileRecord;

// A row of the result list.
struct SearchResultRow {
  QString text;     // folder path in the recovery tree, then the name
  int64_t record;   // index in the scanner's found-file list
  uint64_t size;    // the record's dataLength
};

class SearchResultModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  static constexpr int kNameColumn = 0;
  static constexpr int kTypeColumn = 1;
  static constexpr int kSizeColumn = 2;

  using QAbstractTableModel::QAbstractTableModel;
  // Type names and icons come from here, asked only for the rows drawn.
  void SetShellInfo(CShellFileInfo* info) { m_shellInfo = info; }

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  // Appends rows at the end (the batch is emptied).
  void Append(std::vector<SearchResultRow>& rows);
  void Clear();
  // Removes the rows first..last.
  void RemoveRange(int first, int last);
  int Count() const { return int(m_rows.size()); }
  const SearchResultRow* At(int row) const { return row >= 0 && row < Count() ? &m_rows[size_t(row)] : nullptr; }
  // Bytes the rows hold (for measurements).
  size_t MemoryBytes() const;

 private:
  CShellFileInfo* m_shellInfo = nullptr;
  // A deque: a large result grows without moving the rows it has, so no
  // batch pays for copying all the rows before it.
  std::deque<SearchResultRow> m_rows;
};

class CTarvelListCtrl : public QTableView {
  Q_OBJECT
 public:
  static constexpr int kNameWidth = 300;
  static constexpr int kTypeWidth = 250;
  static constexpr int kSizeWidth = 250;

  explicit CTarvelListCtrl(QWidget* parent = nullptr);

  // The window that is asked before a click selects a row.
  void SetNotifyTarget(INotifyTarget* target) { m_target = target; }
  void SetShellInfo(CShellFileInfo* info);

  SearchResultModel& Model() { return m_model; }
  const SearchResultModel& Model() const { return m_model; }
  int GetItemCount() const { return m_model.Count(); }
  // The texts of a row as shown: path and name, type, size.
  QString GetItemText(int row, int column) const;
  // The row's found-file record index, or -1.
  int64_t GetItemData(int row) const;
  void DeleteAllItems() { m_model.Clear(); }
  // Rows selected, in ascending order.
  std::vector<int> SelectedRows() const;
  void SelectRows(const std::vector<int>& rows);
  // Deletes the selected rows; returns how many went.
  int DeleteSelectedRows();
  void EnsureLastVisible();

 protected:
  void mousePressEvent(QMouseEvent* event) override;

 private:
  SearchResultModel m_model;
  INotifyTarget* m_target = nullptr;
};
