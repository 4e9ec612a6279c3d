// The check-box tree: items, records, the counting rules and the operations.
// The user's actions are in check_tree_input.cpp.
//
// Counting rules. Every item has a record with its own check flag and the
// counts of the items below it (descendants) and of those whose own flag is
// 1 (checkedDescendants). An item with descendants is checked when all of
// them are, unchecked when none is, partly checked otherwise.
// - Insertion: the new item is unchecked; each ancestor counts one more
//   descendant and its own flag is recomputed from its counts; an own flag
//   that changes is carried to the ancestors above (one checked item fewer or
//   more). So a checked folder turns partly checked until the new item is
//   checked too.
// - SetCheck: the item and its whole subtree take the state; the ancestors
//   get the difference in checked items (delta) and recompute their own
//   flags, each change again carried upwards.
// - Deleting a leaf: each ancestor counts one descendant fewer, and one
//   checked descendant fewer when the leaf was checked; own flags are
//   recomputed as above, except that an ancestor left without descendants
//   keeps its own flag when the deleted leaf was unchecked (a folder whose
//   unchecked placeholder goes stays unchecked).

#include "tree/check_tree_ctrl.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QPainter>
#include <QScrollBar>
#include <QTreeWidgetItemIterator>
#include <vector>

#include "tree/check_tree_delegate.h"
#include "shell/command_ids.h"
#include "list/shell_file_info.h"

CCheckTreeCtrl::CCheckTreeCtrl(QWidget* parent) : QTreeWidget(parent) {
  setObjectName(QStringLiteral("bkfTree"));
  setProperty("controlId", IDC_BKF_TREE);
  setColumnCount(1);
  setHeaderHidden(true);
  header()->setStretchLastSection(false);
  header()->setSectionResizeMode(QHeaderView::Interactive);
  setIconSize(QSize(16, 16));
  setRootIsDecorated(true);
  setItemsExpandable(true);
  setExpandsOnDoubleClick(false);
  setUniformRowHeights(true);
  setAllColumnsShowFocus(true);
  setTextElideMode(Qt::ElideNone);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  // The highlight is the control's own (the current item), drawn whether the
  // control has the focus or not.
  setSelectionMode(QAbstractItemView::NoSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setContextMenuPolicy(Qt::PreventContextMenu);
  setFocusPolicy(Qt::StrongFocus);
  setItemDelegate(m_delegate = new CCheckTreeDelegate(this));

  m_editTimer.setSingleShot(true);
  connect(&m_editTimer, &QTimer::timeout, this, [this] {
    QTreeWidgetItem* item = m_editCandidate;
    m_editCandidate = nullptr;
    if (item && item == currentItem()) EditLabel(item);
  });
  m_widthTimer.setSingleShot(true);
  m_widthTimer.setInterval(0);
  connect(&m_widthTimer, &QTimer::timeout, this, &CCheckTreeCtrl::UpdateColumnWidth);

  connect(this, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* item) {
    if (CCheckTreeItem* ours = CCheckTreeItem::From(item)) ours->Record().expanded = 1;
    ScheduleColumnWidth();
  });
  connect(this, &QTreeWidget::itemCollapsed, this, [this](QTreeWidgetItem* item) {
    if (CCheckTreeItem* ours = CCheckTreeItem::From(item)) ours->Record().expanded = 0;
    ScheduleColumnWidth();
  });
  connect(this, &QTreeWidget::currentItemChanged, this,
          [this](QTreeWidgetItem* current) { emit selectedItemChanged(current); });
  connect(model(), &QAbstractItemModel::rowsInserted, this, &CCheckTreeCtrl::ScheduleColumnWidth);
  connect(model(), &QAbstractItemModel::dataChanged, this, &CCheckTreeCtrl::ScheduleColumnWidth);
}

CCheckTreeCtrl::~CCheckTreeCtrl() {
  // No message may leave a control that is going away.
  m_bClearing = true;
  m_target = nullptr;
}

void CCheckTreeCtrl::SetImageList(const ShellImageList* images) {
  m_images = images;
  viewport()->update();
}

QIcon CCheckTreeCtrl::ImageIcon(int image) const { return m_images ? m_images->Icon(image) : QIcon(); }

intptr_t CCheckTreeCtrl::Send(uint32_t message, uintptr_t wParam, intptr_t lParam) {
  if (m_bClearing || !m_target) return 0;
  return m_target->SendMessage(message, wParam, lParam);
}

void CCheckTreeCtrl::RedrawBox() { viewport()->update(); }

QTreeWidgetItem* CCheckTreeCtrl::InsertItem(const QString& label, int image, int selectedImage,
                                            QTreeWidgetItem* parent, Position position) {
  auto* item = new CCheckTreeItem(label, image, selectedImage);
  if (parent) {
    if (position == Position::First)
      parent->insertChild(0, item);
    else
      parent->addChild(item);
  } else if (position == Position::First) {
    insertTopLevelItem(0, item);
  } else {
    addTopLevelItem(item);
  }
  AdjustAncestors(parent, +1, 0, false);
  return item;
}

void CCheckTreeCtrl::AdjustAncestors(QTreeWidgetItem* parent, int64_t descendantsChange, int64_t delta,
                                     bool keepOwnWhenEmpty) {
  for (QTreeWidgetItem* at = parent; at; at = at->parent()) {
    CCheckTreeItem* ancestor = CCheckTreeItem::From(at);
    if (!ancestor) continue;
    CHECKTREEDATA& r = ancestor->Record();
    r.descendants = std::max<int64_t>(0, r.descendants + descendantsChange);
    r.checkedDescendants = std::max<int64_t>(0, r.checkedDescendants + delta);
    if (keepOwnWhenEmpty && r.descendants == 0) continue;
    const uint8_t own = r.checkedDescendants == r.descendants ? 1 : 0;
    if (own != r.checked) {
      delta += own ? 1 : -1;
      r.checked = own;
    }
  }
  RedrawBox();
}

void CCheckTreeCtrl::SetCheck(QTreeWidgetItem* handle, int state) {
  CCheckTreeItem* item = CCheckTreeItem::From(handle);
  if (!handle || !m_bCheckBoxes || m_bClearing || !item) return;
  state = state ? 1 : 0;
  CHECKTREEDATA& r = item->Record();
  const int old = r.checked;
  r.checked = uint8_t(state);
  RedrawBox();
  if (m_bPropagate && state != old) {
    // The change in checked items, counted before this call: the item itself
    // and its descendants that change.
    const int64_t delta = state ? r.descendants - r.checkedDescendants + 1 : -(r.checkedDescendants + 1);
    SetSubtree(item, state);
    AdjustAncestors(item->parent(), 0, delta, false);
  }
  Send(UM_TREE_CHECK, Handle(handle), state);
}

void CCheckTreeCtrl::SetSubtree(CCheckTreeItem* item, int state) {
  CHECKTREEDATA& r = item->Record();
  r.checked = uint8_t(state);
  r.checkedDescendants = state ? r.descendants : 0;
  const int children = item->childCount();
  for (int i = 0; i < children; ++i) {
    CCheckTreeItem* child = CCheckTreeItem::From(item->child(i));
    if (!child) continue;
    if (child->childCount() > 0) SetSubtree(child, state);
    CHECKTREEDATA& c = child->Record();
    c.checked = uint8_t(state);
    c.checkedDescendants = state ? c.descendants : 0;
    Send(UM_TREE_CHECK, Handle(child), state);
  }
}

int CCheckTreeCtrl::GetCheck(const QTreeWidgetItem* handle) const {
  const CCheckTreeItem* item = CCheckTreeItem::From(handle);
  if (!item) return 0;
  const CHECKTREEDATA& r = item->Record();
  if (r.descendants > 0 && r.checkedDescendants != 0 && r.checkedDescendants == r.descendants) return 1;
  return r.checked;
}

CheckAppearance CCheckTreeCtrl::GetCheckAppearance(const QTreeWidgetItem* handle) const {
  const CCheckTreeItem* item = CCheckTreeItem::From(handle);
  if (!item) return CheckAppearance::Unchecked;
  const CHECKTREEDATA& r = item->Record();
  if (r.descendants == 0) return r.checked ? CheckAppearance::Checked : CheckAppearance::Unchecked;
  if (r.checkedDescendants == 0) return CheckAppearance::Unchecked;
  if (r.checkedDescendants == r.descendants) return CheckAppearance::Checked;
  return CheckAppearance::PartlyChecked;
}

QTreeWidgetItem* CCheckTreeCtrl::GetFirstCheckedItem() const {
  // The iterator walks every item in pre-order, closed branches included.
  for (QTreeWidgetItemIterator it(const_cast<CCheckTreeCtrl*>(this)); *it; ++it)
    if (GetCheck(*it) == 1) return *it;
  return nullptr;
}

void CCheckTreeCtrl::DeleteItem(QTreeWidgetItem* item) {
  if (!item || item->treeWidget() != this) return;
  DeleteSubtree(item);
}

void CCheckTreeCtrl::DeleteSubtree(QTreeWidgetItem* item) {
  // Children first, depth first; the last child is the cheapest to remove.
  while (item->childCount() > 0) DeleteSubtree(item->child(item->childCount() - 1));
  ForgetItem(item);
  if (const CCheckTreeItem* ours = CCheckTreeItem::From(item)) {
    const bool checked = ours->Record().checked == 1;
    AdjustAncestors(item->parent(), -1, checked ? -1 : 0, !checked);
  }
  delete item;
}

void CCheckTreeCtrl::ForgetItem(QTreeWidgetItem* item) {
  if (m_hotItem == item) m_hotItem = nullptr;
  if (m_editCandidate == item) CancelPendingEdit();
  emit itemDeleting(item);
  if (m_bEditing && m_editItem == item) {
    // Its editor goes with it: editing ends without an item.
    m_bEditing = false;
    m_editItem = nullptr;
    TreeLabelEditEnd end;
    Send(UM_TREE_RENAME, reinterpret_cast<uintptr_t>(&end), 0);
  }
}

void CCheckTreeCtrl::DeleteAllItems() {
  m_bClearing = true;
  CancelPendingEdit();
  m_bEditing = false;
  m_editItem = nullptr;
  m_editText.reset();
  m_hotItem = nullptr;
  collapseAll();
  clear();
  m_bClearing = false;
  emit allItemsDeleted();
}

void CCheckTreeCtrl::CollapseAll() {
  // Children before their parents, so that each item is still laid out when
  // it closes; only open items are touched.
  struct Visit {
    QTreeWidgetItem* item;
    bool childrenDone;
  };
  std::vector<Visit> stack;
  for (int i = topLevelItemCount() - 1; i >= 0; --i) stack.push_back({topLevelItem(i), false});
  while (!stack.empty()) {
    Visit visit = stack.back();
    stack.pop_back();
    QTreeWidgetItem* item = visit.item;
    if (item->childCount() == 0) continue;
    if (visit.childrenDone) {
      if (item->isExpanded()) item->setExpanded(false);
      continue;
    }
    stack.push_back({item, true});
    for (int i = item->childCount() - 1; i >= 0; --i)
      if (item->child(i)->childCount() > 0) stack.push_back({item->child(i), false});
  }
  if (topLevelItemCount() > 0) SelectItem(topLevelItem(0));
  horizontalScrollBar()->setValue(0);
  viewport()->update();
}

void CCheckTreeCtrl::ExpandBranch(QTreeWidgetItem* item) {
  if (!item) return;
  std::vector<QTreeWidgetItem*> stack{item};
  while (!stack.empty()) {
    QTreeWidgetItem* at = stack.back();
    stack.pop_back();
    if (at->childCount() == 0) continue;
    if (!at->isExpanded()) at->setExpanded(true);
    if (CCheckTreeItem* ours = CCheckTreeItem::From(at)) ours->Record().expanded = 1;
    for (int i = at->childCount() - 1; i >= 0; --i)
      if (at->child(i)->childCount() > 0) stack.push_back(at->child(i));
  }
}

void CCheckTreeCtrl::SetItemLabel(QTreeWidgetItem* item, const QString& text) {
  if (item) item->setText(0, text);
}

QString CCheckTreeCtrl::GetItemText(const QTreeWidgetItem* item) const {
  if (const CCheckTreeItem* ours = CCheckTreeItem::From(item)) return ours->Label();
  return item ? item->text(0) : QString();
}

int CCheckTreeCtrl::GetItemImage(const QTreeWidgetItem* item) const {
  const CCheckTreeItem* ours = CCheckTreeItem::From(item);
  return ours ? ours->Image() : -1;
}

void CCheckTreeCtrl::SetItemData(QTreeWidgetItem* item, const TreeItemData& data) {
  if (CCheckTreeItem* ours = CCheckTreeItem::From(item)) ours->SetItemData(data);
}

TreeItemData CCheckTreeCtrl::GetItemData(const QTreeWidgetItem* item) const {
  const CCheckTreeItem* ours = CCheckTreeItem::From(item);
  return ours ? ours->ItemData() : TreeItemData{};
}

const CHECKTREEDATA* CCheckTreeCtrl::GetRecord(const QTreeWidgetItem* item) const {
  const CCheckTreeItem* ours = CCheckTreeItem::From(item);
  return ours ? &ours->Record() : nullptr;
}

void CCheckTreeCtrl::SelectItem(QTreeWidgetItem* item) {
  if (!item || item == currentItem()) return;
  setCurrentItem(item);
  viewport()->update();
}

void CCheckTreeCtrl::EditLabel(QTreeWidgetItem* item) {
  if (!item || item->treeWidget() != this || m_bEditing) return;
  CancelPendingEdit();
  scrollToItem(item);
  m_bEditing = true;
  m_editItem = item;
  m_editText.reset();
  if (!edit(indexFromItem(item), QAbstractItemView::AllEditTriggers, nullptr)) {
    m_bEditing = false;
    m_editItem = nullptr;
  }
}

void CCheckTreeCtrl::commitData(QWidget* editor) {
  // The edited text is handed on with UM_TREE_RENAME; the item keeps its
  // label until the main window sets it.
  if (!m_bEditing) return;
  if (const auto* line = qobject_cast<const QLineEdit*>(editor)) m_editText = line->text();
}

void CCheckTreeCtrl::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
  // Editing never moves on to another item.
  if (hint == QAbstractItemDelegate::EditNextItem || hint == QAbstractItemDelegate::EditPreviousItem)
    hint = QAbstractItemDelegate::NoHint;
  QTreeWidget::closeEditor(editor, hint);
  if (!m_bEditing) return;
  TreeLabelEditEnd end{m_editItem, m_editText};
  m_bEditing = false;
  m_editItem = nullptr;
  m_editText.reset();
  Send(UM_TREE_RENAME, reinterpret_cast<uintptr_t>(&end), 0);
}

uint32_t CCheckTreeCtrl::HitTest(const QPoint& pos, QTreeWidgetItem** itemOut) const {
  // The row by its height alone: the whole row belongs to its item.
  const bool inside = pos.x() >= 0 && pos.x() < viewport()->width();
  QTreeWidgetItem* item = inside ? itemAt(QPoint(columnViewportPosition(0), pos.y())) : nullptr;
  if (itemOut) *itemOut = item;
  if (!item) return kTreeHitNowhere;
  const QRect cell = visualItemRect(item);
  if (pos.x() < cell.left())
    return pos.x() >= cell.left() - indentation() && item->childCount() > 0 ? kTreeHitButton : kTreeHitIndent;
  const CheckTreeLayout layout = m_delegate->Layout(cell, item);
  const auto within = [&](const QRect& r) { return !r.isEmpty() && pos.x() >= r.left() && pos.x() <= r.right(); };
  if (within(layout.checkBox)) return kTreeHitCheckBox;
  if (within(layout.icon)) return kTreeHitIcon;
  if (within(layout.label)) return kTreeHitLabel;
  return kTreeHitRight;
}

QRect CCheckTreeCtrl::PartRect(const QTreeWidgetItem* item, Part part) const {
  if (!item) return {};
  const QRect cell = visualItemRect(item);
  if (cell.isEmpty()) return {};
  const CheckTreeLayout layout = m_delegate->Layout(cell, item);
  switch (part) {
    case Part::CheckBox: return layout.checkBox;
    case Part::Icon: return layout.icon;
    case Part::Label: return layout.label;
  }
  return {};
}

void CCheckTreeCtrl::ScheduleColumnWidth() {
  if (!m_widthTimer.isActive()) m_widthTimer.start();
}

void CCheckTreeCtrl::UpdateColumnWidth() {
  // The column is as wide as the widest label shown (so the tree scrolls
  // sideways) and never narrower than the view (so a highlight spans the row).
  const int wanted = std::max(viewport()->width(), sizeHintForColumn(0));
  if (columnWidth(0) != wanted) setColumnWidth(0, wanted);
}

void CCheckTreeCtrl::resizeEvent(QResizeEvent* event) {
  QTreeWidget::resizeEvent(event);
  ScheduleColumnWidth();
}

void CCheckTreeCtrl::drawRow(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
  if (IsHighlighted(itemFromIndex(index)))
    painter->fillRect(QRect(0, option.rect.top(), std::max(viewport()->width(), option.rect.right() + 1),
                            option.rect.height()),
                      palette().color(QPalette::Active, QPalette::Highlight));
  QTreeWidget::drawRow(painter, option, index);
}
