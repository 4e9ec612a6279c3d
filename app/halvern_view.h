#pragma once
// The main view in the centre of the main window: the file list with the
// columns "File Name" and "File Type".

#include <QWidget>

class QTreeWidget;

class CHalvernView : public QWidget {
  Q_OBJECT
 public:
  explicit CHalvernView(QWidget* parent = nullptr);

  QTreeWidget* FileList() const { return m_wndList; }
  void DeleteAllItems();

 private:
  QTreeWidget* m_wndList;
};
