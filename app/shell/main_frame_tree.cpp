// The folder tree and the file list of the main window: the first tree level
// of a result, the handlers of the tree's messages, the lazy population of
// folders from their placeholders, and the rows of the file list.
//
// Items refer to nodes and records by kind and list index. A folder item
// whose first child is a placeholder ("Dummy", no item data) has not been
// populated yet. It is populated when it is first picked (FillFileList: its
// sub-folders in chain order, then its files, with list rows) or first
// opened by its expand button (OnTreeExpand: its sub-folders in the reverse
// of the chain order, then its files, without rows).

#include <QCursor>

#include "tree/check_tree_ctrl.h"
#include "shell/command_ids.h"
#include "tree/folder_tree_pane.h"
#include "tree/folder_tree_items.h"
#include "list/file_list_view.h"
#include "shell/main_frame.h"
#include "dialogs/prompt.h"
#include "list/file_list_ctrl.h"
#include "scanner.h"
#include "dialogs/wait_cursor.h"

namespace {
QTreeWidgetItem* ItemOf(intptr_t handle) { return reinterpret_cast<QTreeWidgetItem*>(handle); }
QTreeWidgetItem* ItemOf(uintptr_t handle) { return reinterpret_cast<QTreeWidgetItem*>(handle); }
}  // namespace

CCheckTreeCtrl* CMainFrame::TreeCtrl() const { return m_wndFileView ? m_wndFileView->Tree() : nullptr; }

CTarvelRightViewListCtrl* CMainFrame::ListCtrl() const { return m_pView ? m_pView->FileList() : nullptr; }

void CMainFrame::ConnectTree() {
  CCheckTreeCtrl* tree = TreeCtrl();
  tree->SetNotifyTarget(this);
  ListCtrl()->SetNotifyTarget(this);
  // The current folder item never outlives its item.
  connect(tree, &CCheckTreeCtrl::itemDeleting, this, [this](QTreeWidgetItem* item) {
    if (item == m_pCurrentFolderItem) m_pCurrentFolderItem = nullptr;
  });
  connect(tree, &CCheckTreeCtrl::allItemsDeleted, this, [this] { m_pCurrentFolderItem = nullptr; });
  connect(ListCtrl(), &CTarvelRightViewListCtrl::rowOpened, this, &CMainFrame::OnListRowOpened);
  AttachImageLists();
}

void CMainFrame::AttachImageLists() {
  TreeCtrl()->SetImageList(&m_shellFileInfo.ImageList());
  ListCtrl()->SetImageList(&m_shellFileInfo.ImageList());
}

bool CMainFrame::WaitWhileBusy() {
  if (!IsBusy()) return false;
  ShowMessage(this, QString::fromLatin1(kWaitText));
  return true;
}

int64_t CMainFrame::NodeOf(const QTreeWidgetItem* item) const {
  const TreeItemData data = TreeCtrl()->GetItemData(item);
  if (data.kind != kNodeItemKind || !m_pScanner || !m_pScanner->m_tree.IsValid(data.index)) return -1;
  return data.index;
}

int64_t CMainFrame::RecordOf(const QTreeWidgetItem* item) const {
  const TreeItemData data = TreeCtrl()->GetItemData(item);
  if (data.kind != kFileItemKind || !m_pScanner || !m_pScanner->m_files.IsValid(data.index)) return -1;
  return data.index;
}

bool CMainFrame::IsPlaceholder(const QTreeWidgetItem* item) const {
  // A recovered folder or file may be named "Dummy" too: a placeholder is
  // the item with that label and no item data.
  const CCheckTreeCtrl* tree = TreeCtrl();
  return item && tree->GetItemData(item).kind == 0 && tree->GetItemText(item) == QLatin1String(kPlaceholderLabel);
}

QString CMainFrame::NodeName(int64_t node) const { return QString::fromStdU16String(m_pScanner->m_tree.Name(node)); }

QString CMainFrame::RecordName(int64_t record) const {
  return QString::fromStdU16String(m_pScanner->m_files.Name(record));
}

QTreeWidgetItem* CMainFrame::AddFolderItem(QTreeWidgetItem* parent, int64_t node, bool first) {
  const int folder = m_shellFileInfo.GetFolderIconIndex();
  const auto position = first ? CCheckTreeCtrl::Position::First : CCheckTreeCtrl::Position::Last;
  QTreeWidgetItem* item = TreeCtrl()->InsertItem(NodeName(node), folder, folder, parent, position);
  m_pScanner->m_tree.Node(node).shownInTree = 1;
  TreeCtrl()->SetItemData(item, {kNodeItemKind, node});
  return item;
}

QTreeWidgetItem* CMainFrame::AddPlaceholder(QTreeWidgetItem* parent) {
  return TreeCtrl()->InsertItem(QString::fromLatin1(kPlaceholderLabel), CShellFileInfo::kMediaImage,
                                CShellFileInfo::kMediaImage, parent);
}

QTreeWidgetItem* CMainFrame::AddFileItem(QTreeWidgetItem* parent, int64_t record, int image) {
  QTreeWidgetItem* item = TreeCtrl()->InsertItem(RecordName(record), image, image, parent);
  m_pScanner->m_files.Record(record).shownInTree = 1;
  TreeCtrl()->SetItemData(item, {kFileItemKind, record});
  return item;
}

void CMainFrame::FillFirstTreeLevel() {
  m_bridge.RunBlocking([this] {
    if (!m_pScanner) return;
    CCheckTreeCtrl* tree = TreeCtrl();
    for (int64_t node : m_pScanner->m_tree.ChildChain(0)) {
      QTreeWidgetItem* item = tree->InsertItem(NodeName(node), CShellFileInfo::kMediaImage,
                                               CShellFileInfo::kMediaImage, nullptr);
      AddPlaceholder(item);
      m_pScanner->m_tree.Node(node).shownInTree = 1;
      tree->SetItemData(item, {kNodeItemKind, node});
      tree->SetCheck(item, 1);
    }
  });
}

intptr_t CMainFrame::OnTreeSelect(uintptr_t, intptr_t lParam) {
  if (WaitWhileBusy()) return 0;
  WaitCursor wait;
  m_pCurrentFolderItem = ItemOf(lParam);
  FillFileList(m_pCurrentFolderItem);
  return 1;
}

void CMainFrame::FillFileList(QTreeWidgetItem* item) {
  CCheckTreeCtrl* tree = TreeCtrl();
  CTarvelRightViewListCtrl* list = ListCtrl();
  QTreeWidgetItem* first = item && item->childCount() > 0 ? item->child(0) : nullptr;
  const int parentChecked = tree->GetCheck(item);

  list->DeleteAllItems();
  m_state.m_bProcessRunning.store(1);
  list->BeginFill();
  if (IsPlaceholder(first)) {
    // Not populated yet: only a folder is.
    const int64_t node = NodeOf(item);
    if (node >= 0) {
      tree->DeleteItem(first);
      if (item->childCount() == 0) PopulateAndList(item, node, parentChecked);
    }
  } else if (first) {
    // Populated before: the rows come from the items.
    const QString folderType = QString::fromLatin1(kFolderTypeText);
    const int children = item->childCount();
    for (int i = 0; i < children && Running(); ++i) {
      const QTreeWidgetItem* child = item->child(i);
      const QString label = tree->GetItemText(child);
      list->AppendRow(label, tree->GetItemImage(child),
                      IsFolderItem(child) ? folderType : m_shellFileInfo.GetFileTypeName(label));
    }
  } else if (NodeOf(item) >= 0 || RecordOf(item) >= 0) {
    // A file, or an empty folder: the item itself.
    const QString label = tree->GetItemText(item);
    list->AppendRow(label, tree->GetItemImage(item), m_shellFileInfo.GetFileTypeName(label));
  }
  list->EndFill();
  m_state.m_bProcessRunning.store(0);
}

void CMainFrame::PopulateAndList(QTreeWidgetItem* item, int64_t node, int parentChecked) {
  CCheckTreeCtrl* tree = TreeCtrl();
  CTarvelRightViewListCtrl* list = ListCtrl();
  const QString folderType = QString::fromLatin1(kFolderTypeText);
  for (int64_t child : m_pScanner->m_tree.ChildChain(node)) {
    QTreeWidgetItem* folder = AddFolderItem(item, child, false);
    list->AppendRow(tree->GetItemText(folder), m_shellFileInfo.GetFolderIconIndex(), folderType);
    tree->SetCheck(folder, parentChecked);
    tree->SetCheck(AddPlaceholder(folder), parentChecked);
  }
  const TreeNode& n = m_pScanner->m_tree.Node(node);
  const int64_t firstFile = n.firstFile;
  const int64_t lastFile = n.lastFile;
  if (lastFile < 0) return;
  const FoundFileList& files = m_pScanner->m_files;
  for (int64_t r = firstFile; r <= lastFile && files.IsValid(r) && Running(); ++r) {
    const QString name = RecordName(r);
    const CShellFileInfo::FileKind& kind = m_shellFileInfo.Lookup(name);
    QTreeWidgetItem* file = AddFileItem(item, r, kind.image);
    list->AppendRow(name, kind.image, kind.typeName);
    tree->SetCheck(file, parentChecked);
  }
  item->setExpanded(true);
}

intptr_t CMainFrame::OnTreeExpand(uintptr_t, intptr_t) {
  if (WaitWhileBusy()) return 0;
  CCheckTreeCtrl* tree = TreeCtrl();
  QTreeWidgetItem* item = tree->GetSelectedItem();
  const int parentChecked = tree->GetCheck(item);
  const int64_t node = NodeOf(item);
  if (node < 0) return 1;
  const bool open = item->isExpanded();
  if (IsPlaceholder(item->child(0))) tree->DeleteItem(item->child(0));
  // Populated before, or being closed.
  if (item->childCount() > 0) return 1;

  bool firstFolder = true;
  for (int64_t child : m_pScanner->m_tree.ChildChain(node)) {
    // The first of the chain ends up last: every further one goes in front.
    QTreeWidgetItem* folder = AddFolderItem(item, child, !firstFolder);
    firstFolder = false;
    AddPlaceholder(folder);
    tree->SetCheck(folder, parentChecked);
  }
  const TreeNode& n = m_pScanner->m_tree.Node(node);
  const int64_t firstFile = n.firstFile;
  const int64_t lastFile = n.lastFile;
  const FoundFileList& files = m_pScanner->m_files;
  if (lastFile >= 0)
    for (int64_t r = firstFile; r <= lastFile && files.IsValid(r); ++r) {
      const QString name = RecordName(r);
      tree->SetCheck(AddFileItem(item, r, m_shellFileInfo.GetFileIconIndex(name)), parentChecked);
    }
  // The tree opened the item before its placeholder went; it stays open.
  if (open) item->setExpanded(true);
  return 1;
}

intptr_t CMainFrame::OnTreeCheck(uintptr_t wParam, intptr_t lParam) {
  // Checks during a process are not recorded, and not answered.
  if (IsBusy()) return 0;
  QTreeWidgetItem* item = ItemOf(wParam);
  if (!item) return 1;
  const uint8_t state = lParam == 1 ? 1 : 2;
  if (const int64_t record = RecordOf(item); record >= 0) {
    FoundFileRecord& r = m_pScanner->m_files.Record(record);
    if (r.parent >= 0) r.checkState = state;
    return 1;
  }
  if (const int64_t node = NodeOf(item); node >= 0) {
    m_pScanner->m_tree.Node(node).checkState = state;
    return 1;
  }
  return 0;
}

intptr_t CMainFrame::OnTreeContext(uintptr_t, intptr_t) {
  if (WaitWhileBusy()) return 0;
  PopupMenuRequest menu;
  menu.name = QString::fromLatin1(kTreeMenuName);
  menu.items = {{ID_TREE_COLLAPSE_ALL, QString::fromLatin1(kCollapseAllLabel)},
                {ID_TREE_RENAME, QString::fromLatin1(kRenameLabel)}};
  menu.position = QCursor::pos();
  const std::optional<int> choice = Prompt().PopupMenu(this, menu);
  // A process may have started while the menu was open.
  if (WaitWhileBusy()) return 0;
  if (choice == ID_TREE_COLLAPSE_ALL) {
    // The file list and the current folder item stay as they are.
    TreeCtrl()->CollapseAll();
  } else if (choice == ID_TREE_RENAME) {
    TreeCtrl()->EditLabel(TreeCtrl()->GetSelectedItem());
  }
  return 1;
}

intptr_t CMainFrame::OnTreeRename(uintptr_t wParam, intptr_t) {
  if (WaitWhileBusy()) return 0;
  const auto* end = reinterpret_cast<const TreeLabelEditEnd*>(wParam);
  if (!end || !end->item) return 1;
  QTreeWidgetItem* item = end->item;
  CCheckTreeCtrl* tree = TreeCtrl();
  QString name = end->text.value_or(QString());
  if (name.isEmpty()) name = tree->GetItemText(item);

  if (const int64_t record = RecordOf(item); record >= 0) {
    const int64_t index = m_pScanner->m_files.Record(record).index;
    m_pScanner->m_files.SetName(m_pScanner->m_files.IsValid(index) ? index : record, name.toStdU16String());
  } else if (const int64_t node = NodeOf(item); node >= 0) {
    const int64_t index = m_pScanner->m_tree.Node(node).index;
    m_pScanner->m_tree.RenameNode(m_pScanner->m_tree.IsValid(index) ? index : node, name.toStdU16String());
  } else {
    // An item without a record (a placeholder) keeps its label: renamed, it
    // would no longer mark its folder as not populated.
    return 1;
  }
  // The file list keeps its rows until the folder is shown again.
  tree->SetItemLabel(item, name);
  return 1;
}

void CMainFrame::OnListRowOpened(int row) {
  CTarvelRightViewListCtrl* list = ListCtrl();
  QTreeWidgetItem* folder = m_pCurrentFolderItem;
  if (!folder || list->GetItemText(row, 1) != QLatin1String(kFolderTypeText)) return;
  if (WaitWhileBusy()) return;
  // The rows of a folder are its children in order; a name found elsewhere
  // (a renamed item) is looked up by its label.
  const QString name = list->GetItemText(row, 0);
  QTreeWidgetItem* child = row < folder->childCount() ? folder->child(row) : nullptr;
  if (!child || !IsFolderItem(child) || TreeCtrl()->GetItemText(child) != name) child = FindChildItem(folder, name);
  if (!child || !IsFolderItem(child)) return;
  folder->setExpanded(true);
  TreeCtrl()->SelectItem(child);
  TreeCtrl()->scrollToItem(child);
  OnTreeSelect(kTreeHitLabel, reinterpret_cast<intptr_t>(child));
}

QTreeWidgetItem* CMainFrame::FindChildItem(QTreeWidgetItem* parent, const QString& text) const {
  if (!parent) return nullptr;
  const CCheckTreeCtrl* tree = TreeCtrl();
  const int children = parent->childCount();
  for (int i = 0; i < children; ++i)
    if (tree->GetItemText(parent->child(i)) == text) return parent->child(i);
  return nullptr;
}

std::vector<CheckedFile> CMainFrame::GetCheckedFiles() {
  if (!m_pScanner) return {};
  return CollectCheckedFiles(*m_pScanner, *TreeCtrl());
}
