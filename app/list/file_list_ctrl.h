#pragma once
// The file list of the main view: a report list with the columns "File Name"
// and "File Type", grid lines, whole-row selection and info tips, drawn over
// the program's background picture stretched to the view. A click on a row
// and the Up and Down keys ask the main window for a preview
// (UM_SHOW_PREVIEW with the row). Rows carry no data of their own beyond
// their two texts and their icon.

#include <QAbstractTableModel>
#include <QFont>
#include <QPixmap>
#include <QTableView>
#include <vector>

#include "notify.h"
#include "system/window_messages.h"

class ShellImageList;

class FileListModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  struct Row {
    QString name;
    QString type;
    int image = -1;
  };

  using QAbstractTableModel::QAbstractTableModel;
  void SetImageList(const ShellImageList* images) { m_images = images; }

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  // The header's font: Arial, 16 pixels high, bold.
  static QFont HeaderFont();

  // Appends a row; while a batch is open it is shown when the batch closes.
  int Append(Row row);
  void BeginBatch();
  void EndBatch();
  void Clear();
  int Count() const { return int(m_rows.size()); }
  const Row* At(int row) const { return row >= 0 && row < Count() ? &m_rows[size_t(row)] : nullptr; }

 private:
  const ShellImageList* m_images = nullptr;
  std::vector<Row> m_rows;
  int m_shown = 0;  // rows the views know of
  int m_batchDepth = 0;
};

class CTarvelRightViewListCtrl : public QTableView {
  Q_OBJECT
 public:
  static constexpr int kNameWidth = 400;
  static constexpr int kTypeWidth = 150;

  explicit CTarvelRightViewListCtrl(QWidget* parent = nullptr);

  void SetNotifyTarget(INotifyTarget* target) { m_target = target; }
  void SetImageList(const ShellImageList* images);

  // Appends a row: its label, its icon and its type text. Returns its index.
  int AppendRow(const QString& name, int image, const QString& type);
  // Rows appended between these two appear at once (a large folder is listed
  // in one step).
  void BeginFill() { m_model.BeginBatch(); }
  void EndFill() { m_model.EndBatch(); }
  void DeleteAllItems();
  int GetItemCount() const { return m_model.Count(); }
  QString GetItemText(int row, int column) const;
  int GetItemImage(int row) const;
  // The row that has the selection mark (the current row), or -1.
  int GetSelectionMark() const;
  // Gives a row the selected and focused state.
  void SelectRow(int row);
  int SelectedRow() const;

  const FileListModel& Model() const { return m_model; }
  const QPixmap& Background() const { return m_background; }

 signals:
  // Enter on the current row or a double click on a row.
  void rowOpened(int row);

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  // Up or Down: the row with the mark is selected and previewed, before the
  // list moves the mark.
  void PreviewMarkedRow(QKeyEvent* event);
  void SendPreview(int row);
  void UpdateBackground();

  FileListModel m_model;
  INotifyTarget* m_target = nullptr;
  QPixmap m_background;
};
