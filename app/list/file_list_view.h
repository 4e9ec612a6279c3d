#pragma once
// The main view in the centre of the main window: the file list with the
// columns "File Name" and "File Type".

#include <QWidget>

class CTarvelRightViewListCtrl;

class CHalvernView : public QWidget {
  Q_OBJECT
 public:
  explicit CHalvernView(QWidget* parent = nullptr);

  CTarvelRightViewListCtrl* FileList() const { return m_wndList; }
  void DeleteAllItems();

 private:
  CTarvelRightViewListCtrl* m_wndList;
};
