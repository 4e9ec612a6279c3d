#pragma once
// Draws the items of the check-box tree and lays out their parts: the check
// box (the style's own, in the appearance the control's record gives, hot
// after a click), the icon and the label (plain single-line text, vertically
// centred, "&" shown as it is). The same layout answers the control's hit
// tests, so what is drawn is what is hit.

#include <QRect>
#include <QStyledItemDelegate>

class CCheckTreeCtrl;
class QTreeWidgetItem;

struct CheckTreeLayout {
  QRect checkBox;  // empty when check boxes are off
  QRect icon;
  QRect label;
};

class CCheckTreeDelegate : public QStyledItemDelegate {
  Q_OBJECT
 public:
  explicit CCheckTreeDelegate(CCheckTreeCtrl* tree);

  // The parts of an item whose cell (column rectangle, without the
  // indentation) is `cell`.
  CheckTreeLayout Layout(const QRect& cell, const QTreeWidgetItem* item) const;

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                        const QModelIndex& index) const override;
  void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                            const QModelIndex& index) const override;

 private:
  QSize CheckBoxSize() const;
  int RowHeight() const;

  CCheckTreeCtrl* m_tree;
};
