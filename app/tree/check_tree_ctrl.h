#pragma once
// The tree with tri-state check boxes of the "BKF File" pane. Every item has
// a check-box record; checking or unchecking an item sets its whole subtree,
// and an item with descendants shows whether all, some or none of them are
// checked. The counts are the control's own (the tree widget's built-in
// tristate logic is not used): see SetCheck and the counting rules in the
// source. The control also turns the user's mouse and keyboard actions into
// the private window messages of the main window (UM_TREE_*), all sent
// synchronously to the notify target. It knows nothing about BKF files; it
// only stores the caller's item data.

#include <QTimer>
#include <QTreeWidget>
#include <optional>

#include "tree/check_tree_item.h"
#include "notify.h"
#include "system/window_messages.h"

class CCheckTreeDelegate;
class ShellImageList;

// Where a point lies on an item (wParam of UM_TREE_SELECT, UM_TREE_EXPAND and
// UM_TREE_CONTEXT). One flag at a time.
enum TreeHitFlags : uint32_t {
  kTreeHitNowhere = 0x01,   // below the last item
  kTreeHitIcon = 0x02,
  kTreeHitLabel = 0x04,
  kTreeHitIndent = 0x08,    // left of the item, not on an expand button
  kTreeHitButton = 0x10,    // the expand button of an item with children
  kTreeHitRight = 0x20,     // right of the label
  kTreeHitCheckBox = 0x40,
};

// wParam of UM_TREE_RENAME: the edited item (none when it was deleted while
// being edited) and the edited text (none when editing was cancelled).
struct TreeLabelEditEnd {
  QTreeWidgetItem* item = nullptr;
  std::optional<QString> text;
};

enum class CheckAppearance { Unchecked, Checked, PartlyChecked };

class CCheckTreeCtrl : public QTreeWidget {
  Q_OBJECT
 public:
  enum class Position { First, Last };
  // The parts of an item's row.
  enum class Part { CheckBox, Icon, Label };
  // Labels longer than this are cut in tooltips.
  static constexpr int kTooltipChars = 79;

  explicit CCheckTreeCtrl(QWidget* parent = nullptr);
  ~CCheckTreeCtrl() override;

  // Where the messages go; none: nowhere.
  void SetNotifyTarget(INotifyTarget* target) { m_target = target; }
  // The shared image list the item images index (not owned).
  void SetImageList(const ShellImageList* images);
  QIcon ImageIcon(int image) const;

  // Settings (the pane sets check boxes, propagation and editing on).
  void SetCheckBoxes(bool on) { m_bCheckBoxes = on; }
  void SetPropagation(bool on) { m_bPropagate = on; }
  void SetReadOnlyChecks(bool on) { m_bReadOnlyChecks = on; }
  bool CheckBoxesOn() const { return m_bCheckBoxes; }

  // Adds an unchecked item under parent (none: top level), first or last
  // among its siblings, and counts it in its ancestors.
  QTreeWidgetItem* InsertItem(const QString& label, int image, int selectedImage, QTreeWidgetItem* parent,
                              Position position = Position::Last);
  // Sets an item's check state (0 or 1) with propagation and reports it.
  void SetCheck(QTreeWidgetItem* item, int state);
  // The effective state, 0 or 1; 0 for no item.
  int GetCheck(const QTreeWidgetItem* item) const;
  CheckAppearance GetCheckAppearance(const QTreeWidgetItem* item) const;
  // The first item in pre-order over the whole tree, closed branches
  // included, whose effective state is 1.
  QTreeWidgetItem* GetFirstCheckedItem() const;
  // Removes an item with its subtree, keeping its ancestors' counts right.
  void DeleteItem(QTreeWidgetItem* item);
  // Removes every item and record; no message is sent meanwhile.
  void DeleteAllItems();
  bool IsClearing() const { return m_bClearing; }
  // Closes every item, selects the first top-level item, scrolls to the left edge.
  void CollapseAll();
  // Opens the item and every item below it that has children.
  void ExpandBranch(QTreeWidgetItem* item);
  void SetItemLabel(QTreeWidgetItem* item, const QString& text);
  QString GetItemText(const QTreeWidgetItem* item) const;
  int GetItemImage(const QTreeWidgetItem* item) const;
  void SetItemData(QTreeWidgetItem* item, const TreeItemData& data);
  TreeItemData GetItemData(const QTreeWidgetItem* item) const;
  // The item's check-box record; none for an item the control did not insert.
  const CHECKTREEDATA* GetRecord(const QTreeWidgetItem* item) const;
  // Makes item the selected item (nothing when it already is); tells the
  // hosting pane through selectedItemChanged. Sends no UM_TREE_SELECT.
  void SelectItem(QTreeWidgetItem* item);
  QTreeWidgetItem* GetSelectedItem() const { return currentItem(); }
  // Starts editing an item's label; the outcome arrives as UM_TREE_RENAME.
  void EditLabel(QTreeWidgetItem* item);
  bool IsEditingLabel() const { return m_bEditing; }

  // Where a point of the viewport lies; item receives the item of that row.
  uint32_t HitTest(const QPoint& pos, QTreeWidgetItem** item) const;
  // A part of an item's row in viewport coordinates (empty when not shown).
  QRect PartRect(const QTreeWidgetItem* item, Part part) const;
  // The item whose box shows the hot variant (the box just clicked), or none.
  const QTreeWidgetItem* HotItem() const { return m_hotItem; }
  // Whether an item is drawn with the highlight colours.
  bool IsHighlighted(const QTreeWidgetItem* item) const { return item && item == currentItem(); }

 signals:
  // The selection moved (the hosting pane listens).
  void selectedItemChanged(QTreeWidgetItem* item);
  // An item is about to be removed (for each item of a deleted subtree).
  void itemDeleting(QTreeWidgetItem* item);
  // Every item was removed.
  void allItemsDeleted();

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  bool viewportEvent(QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void drawRow(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  void commitData(QWidget* editor) override;
  void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;

 private:
  intptr_t Send(uint32_t message, uintptr_t wParam, intptr_t lParam);
  static uintptr_t Handle(QTreeWidgetItem* item) { return reinterpret_cast<uintptr_t>(item); }
  // For each ancestor from parent upwards: the counts change by
  // descendantsChange and delta (neither below 0), the own flag is recomputed
  // from them, and a change of it is carried to the ancestors above. With
  // keepOwnWhenEmpty an ancestor left without descendants keeps its flag.
  void AdjustAncestors(QTreeWidgetItem* parent, int64_t descendantsChange, int64_t delta, bool keepOwnWhenEmpty);
  // Sets the own flags and counts of item's subtree, reporting every
  // descendant (deepest first).
  void SetSubtree(CCheckTreeItem* item, int state);
  void DeleteSubtree(QTreeWidgetItem* item);
  void ForgetItem(QTreeWidgetItem* item);
  void RedrawBox();

  // The user's actions.
  void OnLeftButtonDown(const QPoint& pos);
  void OnRightButtonDown(const QPoint& pos);
  void OnCheckBoxClick(QTreeWidgetItem* item);
  void OnButtonClick(QTreeWidgetItem* item, uint32_t hit);
  // Selects an item as a click or an arrow key does.
  void SelectAsUser(QTreeWidgetItem* item);
  bool OnArrowKey(QKeyEvent* event);
  void SetHotItem(QTreeWidgetItem* item);
  void CancelPendingEdit();
  void ShowTooltip(QHelpEvent* event);
  void ScheduleColumnWidth();
  void UpdateColumnWidth();

  CCheckTreeDelegate* m_delegate = nullptr;
  INotifyTarget* m_target = nullptr;
  const ShellImageList* m_images = nullptr;
  bool m_bCheckBoxes = true;
  bool m_bPropagate = true;
  bool m_bReadOnlyChecks = false;
  bool m_bClearing = false;
  QTreeWidgetItem* m_hotItem = nullptr;
  // A press on the label of the already selected item: editing starts after
  // the double-click time unless a double click comes first.
  QTreeWidgetItem* m_editCandidate = nullptr;
  QTimer m_editTimer;
  // While a label is edited: the item (none once it was deleted) and the
  // text the editor handed in.
  bool m_bEditing = false;
  QTreeWidgetItem* m_editItem = nullptr;
  std::optional<QString> m_editText;
  QTimer m_widthTimer;
};
