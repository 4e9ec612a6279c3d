#include "tree/check_tree_delegate.h"

#include <QApplication>
#include <QLineEdit>
#include <QPainter>

#include "tree/check_tree_ctrl.h"

namespace {
constexpr int kMargin = 2;
constexpr int kGap = 3;
constexpr int kTextPadding = 2;
constexpr int kRowPadding = 4;

QStyle::State AppearanceState(CheckAppearance appearance) {
  switch (appearance) {
    case CheckAppearance::Checked: return QStyle::State_On;
    case CheckAppearance::PartlyChecked: return QStyle::State_NoChange;
    case CheckAppearance::Unchecked: break;
  }
  return QStyle::State_Off;
}
}  // namespace

CCheckTreeDelegate::CCheckTreeDelegate(CCheckTreeCtrl* tree) : QStyledItemDelegate(tree), m_tree(tree) {}

QSize CCheckTreeDelegate::CheckBoxSize() const {
  const QStyle* style = m_tree->style();
  return {style->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, m_tree),
          style->pixelMetric(QStyle::PM_IndicatorHeight, nullptr, m_tree)};
}

int CCheckTreeDelegate::RowHeight() const {
  const int text = m_tree->fontMetrics().height() + 2;
  return std::max({text, m_tree->iconSize().height(), CheckBoxSize().height()}) + kRowPadding;
}

CheckTreeLayout CCheckTreeDelegate::Layout(const QRect& cell, const QTreeWidgetItem* item) const {
  CheckTreeLayout layout;
  int x = cell.left() + kMargin;
  const auto centred = [&](QSize size) {
    return QRect(QPoint(x, cell.top() + (cell.height() - size.height()) / 2), size);
  };
  if (m_tree->CheckBoxesOn()) {
    layout.checkBox = centred(CheckBoxSize());
    x = layout.checkBox.right() + 1 + kGap;
  }
  layout.icon = centred(m_tree->iconSize());
  x = layout.icon.right() + 1 + kGap;
  const QFontMetrics metrics = m_tree->fontMetrics();
  const int textWidth = metrics.horizontalAdvance(m_tree->GetItemText(item)) + 2 * kTextPadding;
  layout.label = QRect(x, cell.top() + (cell.height() - metrics.height() - 2) / 2, textWidth, metrics.height() + 2);
  return layout;
}

QSize CCheckTreeDelegate::sizeHint(const QStyleOptionViewItem&, const QModelIndex& index) const {
  const QTreeWidgetItem* item = m_tree->itemFromIndex(index);
  const CheckTreeLayout layout = Layout(QRect(0, 0, 0, RowHeight()), item);
  return {layout.label.right() + 1 + kMargin, RowHeight()};
}

void CCheckTreeDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
  const QTreeWidgetItem* item = m_tree->itemFromIndex(index);
  if (!item) return;
  const CheckTreeLayout layout = Layout(option.rect, item);
  const bool highlighted = m_tree->IsHighlighted(item);
  const QPalette& palette = m_tree->palette();
  painter->save();

  if (!layout.checkBox.isEmpty()) {
    QStyleOptionViewItem box;
    box.initFrom(m_tree);
    box.rect = layout.checkBox;
    // The style outlines a box in a shade of the window colour; half way
    // between text and background keeps it visible on a dark scheme too.
    const QColor text = palette.color(QPalette::Active, QPalette::Text);
    const QColor base = palette.color(QPalette::Active, QPalette::Base);
    box.palette.setColor(QPalette::Window, QColor((text.red() + base.red()) / 2, (text.green() + base.green()) / 2,
                                                  (text.blue() + base.blue()) / 2));
    box.state = QStyle::State_Enabled | AppearanceState(m_tree->GetCheckAppearance(item));
    // The hot variant: the style's highlighted box.
    if (m_tree->HotItem() == item)
      box.state |= QStyle::State_MouseOver | QStyle::State_HasFocus | QStyle::State_KeyboardFocusChange;
    m_tree->style()->drawPrimitive(QStyle::PE_IndicatorItemViewItemCheck, &box, painter, m_tree);
  }

  const CCheckTreeItem* ours = CCheckTreeItem::From(item);
  const int image = ours ? (highlighted ? ours->SelectedImage() : ours->Image()) : -1;
  m_tree->ImageIcon(image).paint(painter, layout.icon, Qt::AlignCenter, highlighted ? QIcon::Selected : QIcon::Normal);

  painter->setFont(m_tree->font());
  painter->setPen(palette.color(QPalette::Active, highlighted ? QPalette::HighlightedText : QPalette::Text));
  painter->drawText(layout.label.adjusted(kTextPadding, 0, -kTextPadding, 0),
                    Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, m_tree->GetItemText(item));
  painter->restore();
}

QWidget* CCheckTreeDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex&) const {
  auto* editor = new QLineEdit(parent);
  editor->setObjectName(QStringLiteral("treeLabelEditor"));
  return editor;
}

void CCheckTreeDelegate::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                                              const QModelIndex& index) const {
  const CheckTreeLayout layout = Layout(option.rect, m_tree->itemFromIndex(index));
  QRect rect = layout.label;
  rect.setRight(std::max(rect.right(), rect.left() + 120));
  rect.setTop(option.rect.top());
  rect.setBottom(option.rect.bottom());
  editor->setGeometry(rect);
}
