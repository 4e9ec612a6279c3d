#pragma once
// The left pane "BKF File": the check-box folder tree of the scan result,
// placed one unit inside a frame.

#include <QWidget>

class CCheckTreeCtrl;

class CFileView : public QWidget {
  Q_OBJECT
 public:
  explicit CFileView(QWidget* parent = nullptr);

  CCheckTreeCtrl* Tree() const { return m_wndFileView; }
  // True when the tree holds no item (no scan or snapshot result shown).
  bool IsEmpty() const;
  // True when an item anywhere in the tree is checked.
  bool HasCheckedItem() const;
  void DeleteAllItems();

 protected:
  void focusInEvent(QFocusEvent* event) override;

 private:
  CCheckTreeCtrl* m_wndFileView;
};
