// The folder tree and the file list of the main window over a scanned
// result: the first level, lazy population in both orders, check states and
// their records, renames, the context menu, and the rows of the list.

#include <QLineEdit>
#include <QTest>
#include <thread>

#include "tree/check_tree_ctrl.h"
#include "shell/command_ids.h"
#include "tree/folder_tree_pane.h"
#include "tree/folder_tree_items.h"
#include "gui_test_support.h"
#include "list/file_list_view.h"
#include "shell/main_frame.h"
#include "list/file_list_ctrl.h"
#include "scanner.h"
#include "test_support.h"
#include "tree_test_support.h"

using namespace gui_testing;

namespace {

const QString kWait = QStringLiteral("Please wait for the running process.");
const QString kFolder = QStringLiteral("Folder");

class FolderTreeTest : public FrameTest {
 protected:
  void SetUp() override {
    FrameTest::SetUp();
    tree = frame->FileView()->Tree();
    list = frame->View()->FileList();
  }
  void Load(const fixture::BkfWriter& backup = SmallBackup()) {
    LoadResult(*frame, backup);
    scanner = frame->Scanner();
  }
  QTreeWidgetItem* Item(const QStringList& labels) const { return ItemByPath(*tree, labels); }
  // Picks an item as a click on its label does.
  void Pick(QTreeWidgetItem* item) {
    tree->SelectItem(item);
    ASSERT_EQ(frame->OnTreeSelect(kTreeHitLabel, reinterpret_cast<intptr_t>(item)), 1);
  }
  // Opens an item as a click on its expand button does.
  void Open(QTreeWidgetItem* item) {
    item->setExpanded(true);
    tree->SelectItem(item);
    ASSERT_EQ(frame->OnTreeExpand(kTreeHitButton, reinterpret_cast<intptr_t>(item)), 1);
  }
  // The volume C: with its set and tape picked on the way.
  QTreeWidgetItem* PickDownToVolume() {
    Pick(Item({"Media 1"}));
    Pick(Item({"Media 1", "SET 1 :Daily"}));
    QTreeWidgetItem* volume = Item({"Media 1", "SET 1 :Daily", "C:"});
    Pick(volume);
    return volume;
  }
  QStringList Rows() const {
    QStringList rows;
    for (int r = 0; r < list->GetItemCount(); ++r) rows << list->GetItemText(r, 0) + " | " + list->GetItemText(r, 1);
    return rows;
  }
  QString Type(const QString& name) { return frame->ShellFileInfo().GetFileTypeName(name); }
  int64_t NodeOf(QTreeWidgetItem* item) const { return tree->GetItemData(item).index; }
  const TreeNode& Node(QTreeWidgetItem* item) const { return scanner->m_tree.Node(NodeOf(item)); }
  const FoundFileRecord& Record(QTreeWidgetItem* item) const {
    return scanner->m_files.Record(tree->GetItemData(item).index);
  }

  CCheckTreeCtrl* tree = nullptr;
  CTarvelRightViewListCtrl* list = nullptr;
  bkf* scanner = nullptr;
};

TEST_F(FolderTreeTest, FirstLevelIsTheRootsChildrenNewestFirstEachCheckedWithAPlaceholder) {
  // Several children of the root, as a damaged backup can leave them.
  auto result = std::make_unique<bkf>();
  for (const char16_t* name : {u"Media A", u"Media B", u"Media C"}) result->m_tree.AddNode(name, 0);
  result->m_tree.AddNode(u"below B", 2);
  LoadResult(*frame, std::move(result));
  scanner = frame->Scanner();
  EXPECT_EQ(ChildLabels(*tree, nullptr), (QStringList{"Media C", "Media B", "Media A"}));
  for (int i = 0; i < tree->topLevelItemCount(); ++i) {
    QTreeWidgetItem* item = tree->topLevelItem(i);
    EXPECT_EQ(ChildLabels(*tree, item), QStringList{"Dummy"});
    EXPECT_EQ(tree->GetItemData(item->child(0)).kind, 0);
    EXPECT_EQ(tree->GetCheck(item), 1);
    EXPECT_EQ(tree->GetCheck(item->child(0)), 1);
    EXPECT_EQ(tree->GetItemImage(item), CShellFileInfo::kMediaImage);
    EXPECT_EQ(tree->GetItemData(item).kind, kNodeItemKind);
    EXPECT_EQ(int(Node(item).shownInTree), 1);
    // Checked while the scan still counted as running: not recorded.
    EXPECT_EQ(int(Node(item).checkState), 0);
  }
  EXPECT_EQ(frame->CurrentFolderItem(), nullptr);
}

TEST_F(FolderTreeTest, FirstLevelFromAWorkerThreadIsBuiltOnTheWindowsThread) {
  std::unique_ptr<testing_support::ScanOutcome> scan = testing_support::ScanBytes(SmallBackup().Data());
  frame->SetScanner(std::move(scan->scanner));
  frame->Scanner()->m_hNotifyWnd = frame.get();
  AppState().m_bProcessRunning.store(1);
  std::atomic<bool> done{false};
  std::thread worker([&] {
    frame->FillFirstTreeLevel();
    done = true;
  });
  EXPECT_TRUE(QTest::qWaitFor([&] { return done.load(); }, 5000));
  worker.join();
  AppState().m_bProcessRunning.store(0);
  EXPECT_EQ(ChildLabels(*tree, nullptr), QStringList{"Media 1"});
  EXPECT_EQ(tree->GetCheck(tree->topLevelItem(0)), 1);
}

TEST_F(FolderTreeTest, PickingPopulatesInChainOrderAndListsFoldersBeforeFiles) {
  Load();
  QTreeWidgetItem* media = Item({"Media 1"});
  Pick(media);
  EXPECT_EQ(frame->CurrentFolderItem(), media);
  EXPECT_EQ(ChildLabels(*tree, media), QStringList{"SET 1 :Daily"});
  EXPECT_EQ(Rows(), QStringList{"SET 1 :Daily | Folder"});
  EXPECT_FALSE(media->isExpanded());  // no files of its own

  QTreeWidgetItem* volume = PickDownToVolume();
  const QStringList children{"Pics", "Empty", "Docs", "boot.ini"};
  EXPECT_EQ(ChildLabels(*tree, volume), children);
  const QStringList rows{"Pics | Folder", "Empty | Folder", "Docs | Folder", "boot.ini | " + Type("boot.ini")};
  EXPECT_EQ(Rows(), rows);
  EXPECT_TRUE(volume->isExpanded());
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(ChildLabels(*tree, volume->child(i)), QStringList{"Dummy"}) << i;
    EXPECT_EQ(int(Node(volume->child(i)).shownInTree), 1);
    EXPECT_EQ(tree->GetItemImage(volume->child(i)), frame->ShellFileInfo().GetFolderIconIndex());
    EXPECT_EQ(list->GetItemImage(i), frame->ShellFileInfo().GetFolderIconIndex());
  }
  QTreeWidgetItem* boot = volume->child(3);
  EXPECT_EQ(tree->GetItemData(boot).kind, kFileItemKind);
  EXPECT_EQ(int(Record(boot).shownInTree), 1);
  EXPECT_EQ(tree->GetItemImage(boot), frame->ShellFileInfo().GetFileIconIndex(u"boot.ini"));
  EXPECT_EQ(list->GetItemImage(3), tree->GetItemImage(boot));

  // Picked again: the same rows, from the items.
  Pick(volume);
  EXPECT_EQ(Rows(), rows);
  EXPECT_EQ(ChildLabels(*tree, volume), children);
  // A file item lists exactly itself.
  Pick(boot);
  EXPECT_EQ(frame->CurrentFolderItem(), boot);
  EXPECT_EQ(Rows(), QStringList{"boot.ini | " + Type("boot.ini")});
}

TEST_F(FolderTreeTest, AnEmptyFolderListsNothingFirstThenItself) {
  Load();
  QTreeWidgetItem* empty = PickDownToVolume()->child(1);
  ASSERT_EQ(tree->GetItemText(empty), "Empty");
  Pick(empty);
  EXPECT_EQ(ChildLabels(*tree, empty), QStringList());
  EXPECT_EQ(Rows(), QStringList());
  Pick(empty);
  EXPECT_EQ(Rows(), QStringList{"Empty | " + Type("Empty")});
}

TEST_F(FolderTreeTest, OpeningByTheButtonPopulatesInReverseChainOrderWithoutRows) {
  Load();
  Pick(Item({"Media 1"}));
  Pick(Item({"Media 1", "SET 1 :Daily"}));
  const QStringList rowsBefore = Rows();
  QTreeWidgetItem* volume = Item({"Media 1", "SET 1 :Daily", "C:"});
  Open(volume);
  EXPECT_EQ(ChildLabels(*tree, volume), (QStringList{"Docs", "Empty", "Pics", "boot.ini"}));
  EXPECT_TRUE(volume->isExpanded());
  EXPECT_EQ(Rows(), rowsBefore);
  // Opened again (or closed): nothing is added.
  Open(volume);
  EXPECT_EQ(volume->childCount(), 4);
  // Picked afterwards: the rows follow the items.
  Pick(volume);
  EXPECT_EQ(Rows(),
            (QStringList{"Docs | Folder", "Empty | Folder", "Pics | Folder", "boot.ini | " + Type("boot.ini")}));
}

TEST_F(FolderTreeTest, ClicksOnTheTreeReachTheHandlers) {
  Load();
  tree->setFocus();
  QTreeWidgetItem* media = Item({"Media 1"});
  // The expand button: the tape opens with its set.
  const QRect cell = tree->visualItemRect(media);
  QTest::mouseClick(tree->viewport(), Qt::LeftButton, Qt::NoModifier,
                    QPoint(cell.left() - tree->indentation() / 2, cell.center().y()));
  EXPECT_TRUE(media->isExpanded());
  EXPECT_EQ(ChildLabels(*tree, media), QStringList{"SET 1 :Daily"});
  EXPECT_EQ(list->GetItemCount(), 0);
  // The label of the set: it is picked and listed.
  QTreeWidgetItem* set = media->child(0);
  QTest::mouseClick(tree->viewport(), Qt::LeftButton, Qt::NoModifier,
                    tree->PartRect(set, CCheckTreeCtrl::Part::Label).center());
  EXPECT_EQ(frame->CurrentFolderItem(), set);
  EXPECT_EQ(Rows(), QStringList{"C: | Folder"});
  // The set has no files, so it stays closed: Right opens it, Down moves to
  // the volume and lists it.
  EXPECT_FALSE(set->isExpanded());
  QTest::keyClick(tree, Qt::Key_Right);
  EXPECT_TRUE(set->isExpanded());
  QTest::keyClick(tree, Qt::Key_Down);
  EXPECT_EQ(frame->CurrentFolderItem(), set->child(0));
  EXPECT_EQ(list->GetItemCount(), 4);
  // At the last visible item Down sends nothing: the list stays.
  QTest::keyClick(tree, Qt::Key_End);
  const QTreeWidgetItem* current = frame->CurrentFolderItem();
  QTest::keyClick(tree, Qt::Key_Down);
  EXPECT_EQ(frame->CurrentFolderItem(), current);
}

TEST_F(FolderTreeTest, ChildrenInheritTheFoldersStateAndOnlyIdleChecksAreRecorded) {
  Load();
  Pick(Item({"Media 1"}));
  QTreeWidgetItem* set = Item({"Media 1", "SET 1 :Daily"});
  // Populated by a pick: states set while the list fills are not recorded.
  EXPECT_EQ(tree->GetCheck(set), 1);
  EXPECT_EQ(int(Node(set).checkState), 0);

  // Unchecked by the user: recorded for the folder.
  tree->SetCheck(set, 0);
  EXPECT_EQ(int(Node(set).checkState), 2);
  QTreeWidgetItem* volume = set->child(0);
  ASSERT_EQ(tree->GetItemText(volume), "Dummy");
  Open(set);
  volume = set->child(0);
  ASSERT_EQ(tree->GetItemText(volume), "C:");
  EXPECT_EQ(tree->GetCheck(volume), 0);
  EXPECT_EQ(tree->GetCheck(volume->child(0)), 0);  // its placeholder
  EXPECT_EQ(int(Node(volume).checkState), 2);      // recorded: the button keeps the flag at 0

  Open(volume);
  for (int i = 0; i < volume->childCount(); ++i) EXPECT_EQ(tree->GetCheck(volume->child(i)), 0) << i;
  QTreeWidgetItem* boot = volume->child(3);
  EXPECT_EQ(int(Record(boot).checkState), 2);

  // Checked again: everything below follows and is recorded.
  tree->SetCheck(volume, 1);
  EXPECT_EQ(tree->GetCheck(set), 1);
  EXPECT_EQ(int(Record(boot).checkState), 1);
  QTreeWidgetItem* docs = volume->child(0);
  Open(docs);
  for (int i = 0; i < docs->childCount(); ++i) EXPECT_EQ(tree->GetCheck(docs->child(i)), 1) << i;
  EXPECT_EQ(int(Record(docs->child(1)).checkState), 1);

  // A pick under an unchecked folder creates unchecked children.
  tree->SetCheck(docs, 0);
  QTreeWidgetItem* letters = docs->child(0);
  Pick(letters);
  ASSERT_EQ(letters->childCount(), 1);
  EXPECT_EQ(tree->GetCheck(letters->child(0)), 0);

  // While a process runs, a check is not recorded.
  AppState().m_bProcessRunning.store(1);
  tree->SetCheck(boot, 0);
  AppState().m_bProcessRunning.store(0);
  EXPECT_EQ(int(Record(boot).checkState), 1);
  EXPECT_TRUE(prompt().shown.empty());
}

TEST_F(FolderTreeTest, RenamesReachTheResultButNotTheList) {
  Load();
  QTreeWidgetItem* volume = PickDownToVolume();
  QTreeWidgetItem* docs = volume->child(2);
  QTreeWidgetItem* boot = volume->child(3);
  const auto rename = [&](QTreeWidgetItem* item, std::optional<QString> text) {
    TreeLabelEditEnd end{item, std::move(text)};
    return frame->OnTreeRename(reinterpret_cast<uintptr_t>(&end), 0);
  };
  const QStringList rows = Rows();

  EXPECT_EQ(rename(docs, QStringLiteral("Documents")), 1);
  EXPECT_EQ(tree->GetItemText(docs), "Documents");
  EXPECT_EQ(scanner->m_tree.Name(NodeOf(docs)), u"Documents");
  Pick(docs);
  ASSERT_EQ(docs->child(0)->childCount(), 1);
  Open(docs->child(0));
  EXPECT_EQ(scanner->m_tree.GetNodePath(NodeOf(docs->child(0))), u"Media 1\\SET 1 :Daily\\C:\\Documents\\Letters\\");

  Pick(volume);
  EXPECT_EQ(rename(boot, QStringLiteral("boot.txt")), 1);
  EXPECT_EQ(tree->GetItemText(boot), "boot.txt");
  EXPECT_EQ(scanner->m_files.Name(tree->GetItemData(boot).index), u"boot.txt");
  EXPECT_EQ(list->GetItemText(3, 0), "boot.ini");  // not refreshed
  // An empty text and a cancelled edit keep the name.
  EXPECT_EQ(rename(boot, QString()), 1);
  EXPECT_EQ(rename(boot, std::nullopt), 1);
  EXPECT_EQ(tree->GetItemText(boot), "boot.txt");
  EXPECT_EQ(scanner->m_files.Name(tree->GetItemData(boot).index), u"boot.txt");
  // A placeholder keeps its label, or its folder would look populated.
  QTreeWidgetItem* placeholder = volume->child(0)->child(0);
  EXPECT_EQ(rename(placeholder, QStringLiteral("Other")), 1);
  EXPECT_EQ(tree->GetItemText(placeholder), "Dummy");
  EXPECT_EQ(rename(nullptr, QStringLiteral("x")), 1);
  // While a process runs the rename is refused.
  AppState().m_bProcessRunning.store(1);
  EXPECT_EQ(rename(boot, QStringLiteral("late.txt")), 0);
  AppState().m_bProcessRunning.store(0);
  EXPECT_EQ(prompt().Texts(), QStringList{kWait});
  EXPECT_EQ(tree->GetItemText(boot), "boot.txt");
}

TEST_F(FolderTreeTest, TreeClickMenuRenamesByEditingTheLabel) {
  Load();
  QTreeWidgetItem* volume = PickDownToVolume();
  QTreeWidgetItem* pics = volume->child(0);
  prompt().menuChoices = {ID_TREE_RENAME};
  QTest::mouseClick(tree->viewport(), Qt::RightButton, Qt::NoModifier,
                    tree->PartRect(pics, CCheckTreeCtrl::Part::Label).center());
  ASSERT_EQ(prompt().menus.size(), 1u);
  const PopupMenuRequest& menu = prompt().menus[0];
  EXPECT_EQ(menu.name, "Tree Click");
  ASSERT_EQ(menu.items.size(), 2);
  EXPECT_EQ(menu.items[0], qMakePair(32777, QStringLiteral("Collapse All")));
  EXPECT_EQ(menu.items[1], qMakePair(32782, QStringLiteral("Rename")));
  EXPECT_EQ(tree->GetSelectedItem(), pics);
  ASSERT_TRUE(tree->IsEditingLabel());
  auto* editor = tree->findChild<QLineEdit*>(QStringLiteral("treeLabelEditor"));
  ASSERT_NE(editor, nullptr);
  editor->setText(QStringLiteral("Photos"));
  QTest::keyClick(editor, Qt::Key_Return);
  EXPECT_TRUE(QTest::qWaitFor([&] { return tree->GetItemText(pics) == "Photos"; }, 2000));
  EXPECT_EQ(scanner->m_tree.Name(NodeOf(pics)), u"Photos");
  EXPECT_EQ(list->GetItemText(0, 0), "Pics");
}

TEST_F(FolderTreeTest, CollapseAllLeavesTheListAndTheCurrentFolder) {
  Load();
  QTreeWidgetItem* volume = PickDownToVolume();
  Item({"Media 1"})->setExpanded(true);
  Item({"Media 1", "SET 1 :Daily"})->setExpanded(true);
  const QStringList rows = Rows();
  prompt().menuChoices = {ID_TREE_COLLAPSE_ALL};
  EXPECT_EQ(frame->OnTreeContext(kTreeHitLabel, reinterpret_cast<intptr_t>(volume)), 1);
  EXPECT_FALSE(volume->isExpanded());
  EXPECT_FALSE(Item({"Media 1"})->isExpanded());
  EXPECT_EQ(tree->GetSelectedItem(), Item({"Media 1"}));
  EXPECT_EQ(Rows(), rows);
  EXPECT_EQ(frame->CurrentFolderItem(), volume);

  // No choice: nothing. A process started while the menu was open: refused.
  Item({"Media 1"})->setExpanded(true);
  EXPECT_EQ(frame->OnTreeContext(0, 0), 1);
  EXPECT_TRUE(Item({"Media 1"})->isExpanded());
  prompt().menuChoices = {ID_TREE_COLLAPSE_ALL};
  prompt().whileMenuOpen = [](const PopupMenuRequest&) { AppState().m_bProcessRunning.store(1); };
  EXPECT_EQ(frame->OnTreeContext(0, 0), 0);
  AppState().m_bProcessRunning.store(0);
  EXPECT_EQ(prompt().Texts(), QStringList{kWait});
  EXPECT_TRUE(Item({"Media 1"})->isExpanded());
}

TEST_F(FolderTreeTest, BusyTreeMessagesAreRefusedWithTheWaitText) {
  Load();
  QTreeWidgetItem* media = Item({"Media 1"});
  tree->SelectItem(media);
  AppState().m_bProcessRunning.store(1);
  EXPECT_EQ(frame->OnTreeSelect(0, reinterpret_cast<intptr_t>(media)), 0);
  EXPECT_EQ(frame->OnTreeExpand(0, 0), 0);
  EXPECT_EQ(frame->OnTreeContext(0, reinterpret_cast<intptr_t>(media)), 0);
  AppState().m_bProcessRunning.store(0);
  EXPECT_EQ(prompt().Texts(), (QStringList{kWait, kWait, kWait}));
  EXPECT_TRUE(prompt().menus.empty());
  EXPECT_EQ(ChildLabels(*tree, media), QStringList{"Dummy"});
  EXPECT_EQ(frame->CurrentFolderItem(), nullptr);
}

TEST_F(FolderTreeTest, RecoveredFoldersAndFilesNamedDummyAreNoPlaceholders) {
  fixture::BkfWriter w;
  w.Tape(u"Media 1");
  w.Sset(1, u"Daily");
  w.Volb(u"C:");
  w.Dirb(u"Dummy");
  w.File(u"Dummy", "a file named like the placeholder");
  w.Dirb(u"Dummy\\Inner");
  w.File(u"inner.txt", "x");
  Load(w);
  Pick(Item({"Media 1"}));
  Pick(Item({"Media 1", "SET 1 :Daily"}));
  QTreeWidgetItem* volume = Item({"Media 1", "SET 1 :Daily", "C:"});
  Pick(volume);
  EXPECT_EQ(Rows(), QStringList{"Dummy | Folder"});
  // Picked again: the folder named Dummy is listed, not taken for a placeholder.
  Pick(volume);
  EXPECT_EQ(Rows(), QStringList{"Dummy | Folder"});
  QTreeWidgetItem* folder = volume->child(0);
  Pick(folder);
  EXPECT_EQ(ChildLabels(*tree, folder), (QStringList{"Inner", "Dummy"}));
  Pick(folder);
  EXPECT_EQ(Rows(), (QStringList{"Inner | Folder", "Dummy | " + Type("Dummy")}));
}

TEST_F(FolderTreeTest, TheCurrentFolderItemGoesWithItsItem) {
  Load();
  QTreeWidgetItem* media = Item({"Media 1"});
  tree->SelectItem(media);
  QTest::keyClick(tree, Qt::Key_Asterisk, Qt::KeypadModifier);  // the placeholder shows
  QTreeWidgetItem* placeholder = media->child(0);
  Pick(placeholder);
  EXPECT_EQ(frame->CurrentFolderItem(), placeholder);
  EXPECT_EQ(list->GetItemCount(), 0);
  Open(media);
  EXPECT_EQ(frame->CurrentFolderItem(), nullptr);
  EXPECT_EQ(frame->WindowProc(UM_SHOW_PREVIEW, 0, 0), 1);  // nothing to find, nothing to break
  frame->ClearScanResult();
  EXPECT_EQ(frame->CurrentFolderItem(), nullptr);
  EXPECT_TRUE(frame->FileView()->IsEmpty());
  EXPECT_EQ(list->GetItemCount(), 0);
}

TEST_F(FolderTreeTest, FindChildItemMatchesWholeLabelsExactly) {
  Load();
  QTreeWidgetItem* volume = PickDownToVolume();
  EXPECT_EQ(frame->FindChildItem(volume, "Docs"), volume->child(2));
  EXPECT_EQ(frame->FindChildItem(volume, "boot.ini"), volume->child(3));
  EXPECT_EQ(frame->FindChildItem(volume, "docs"), nullptr);
  EXPECT_EQ(frame->FindChildItem(volume, "Doc"), nullptr);
  EXPECT_EQ(frame->FindChildItem(nullptr, "Docs"), nullptr);
}

TEST_F(FolderTreeTest, APreviewRequestSelectsTheRowsItem) {
  Load();
  QTreeWidgetItem* volume = PickDownToVolume();
  EXPECT_EQ(frame->WindowProc(UM_SHOW_PREVIEW, 3, 0), 1);
  EXPECT_EQ(tree->GetSelectedItem(), volume->child(3));
  EXPECT_EQ(frame->WindowProc(UM_SHOW_PREVIEW, 1, 0), 1);
  EXPECT_EQ(tree->GetSelectedItem(), volume->child(1));
  EXPECT_EQ(frame->CurrentFolderItem(), volume);
  // A row whose item is gone (renamed since): the folder itself.
  TreeLabelEditEnd end{volume->child(3), QStringLiteral("renamed.ini")};
  frame->OnTreeRename(reinterpret_cast<uintptr_t>(&end), 0);
  EXPECT_EQ(frame->WindowProc(UM_SHOW_PREVIEW, 3, 0), 1);
  EXPECT_EQ(tree->GetSelectedItem(), volume);
  AppState().m_bProcessRunning.store(1);
  EXPECT_EQ(frame->WindowProc(UM_SHOW_PREVIEW, 3, 0), 0);
  AppState().m_bProcessRunning.store(0);
  EXPECT_EQ(prompt().Texts(), QStringList{kWait});
}

}  // namespace
