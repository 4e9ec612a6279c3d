// The files a checked tree hands to saving: populated and never-populated
// folders, mixed checks, a folder whose files were split by a revisit, and a
// damaged chain.

#include "tree/check_tree_ctrl.h"
#include "tree/checked_files.h"
#include "tree/folder_tree_pane.h"
#include "gui_test_support.h"
#include "shell/main_frame.h"
#include "scanner.h"
#include "tree_test_support.h"

using namespace gui_testing;

namespace {

// C: holds root.ini and the folders A (a1, a2, then Deep with d1), B (b1)
// and C (c1); A is visited again after B and gets a3, so a1 and a2 lie
// outside A's file range. The volume's chain is C, B, A.
fixture::BkfWriter RevisitedBackup() {
  fixture::BkfWriter w;
  w.Tape(u"Media 1");
  w.Sset(1, u"Daily");
  w.Volb(u"C:");
  w.Dirb(u"");
  w.File(u"root.ini", "r");
  w.Dirb(u"A");
  w.File(u"a1.txt", "a1");
  w.File(u"a2.txt", "a2a2");
  w.Dirb(u"A\\Deep");
  w.File(u"d1.txt", "d");
  w.Dirb(u"B");
  w.File(u"b1.txt", "b1b1b1");
  w.Dirb(u"A");
  w.File(u"a3.txt", "a3a3a");
  w.Dirb(u"C");
  w.File(u"c1.txt", "c1c1c1c1");
  w.Marker("ESET");
  return w;
}

const QString kVolume = "Media 1\\SET 1 :Daily\\C:\\";

class CheckedFilesTest : public FrameTest {
 protected:
  void SetUp() override {
    FrameTest::SetUp();
    tree = frame->FileView()->Tree();
    LoadResult(*frame, RevisitedBackup());
  }
  QTreeWidgetItem* Item(const QStringList& labels) const { return ItemByPath(*tree, labels); }
  void Pick(const QStringList& labels) {
    QTreeWidgetItem* item = Item(labels);
    ASSERT_NE(item, nullptr) << labels.join('/').toStdString();
    frame->OnTreeSelect(0, reinterpret_cast<intptr_t>(item));
  }
  void PickDownTo(const QStringList& labels) {
    for (qsizetype n = 1; n <= labels.size(); ++n) Pick(labels.first(n));
  }
  // "path | size" of each checked file, in order.
  QStringList Checked() {
    QStringList entries;
    for (const CheckedFile& f : frame->GetCheckedFiles()) {
      entries << QString::fromStdU16String(f.displayText) + " | " + QString::fromStdU16String(f.sizeText);
      EXPECT_EQ(QString::fromStdU16String(frame->Scanner()->m_files.Name(f.record)),
                QString::fromStdU16String(f.displayText).section('\\', -1));
    }
    return entries;
  }

  CCheckTreeCtrl* tree = nullptr;
};

const QStringList kAll{
    kVolume + "C\\c1.txt | 8", kVolume + "B\\b1.txt | 6", kVolume + "A\\Deep\\d1.txt | 1", kVolume + "A\\a1.txt | 2",
    kVolume + "A\\a2.txt | 4", kVolume + "A\\a3.txt | 5", kVolume + "root.ini | 1",
};

TEST_F(CheckedFilesTest, AFreshResultHandsOnEveryFileInTreeOrder) {
  EXPECT_EQ(Checked(), kAll);
  // The records are the found files themselves.
  const std::vector<CheckedFile> files = frame->GetCheckedFiles();
  ASSERT_EQ(files.size(), 7u);
  EXPECT_EQ(frame->Scanner()->m_files.Name(files[6].record), u"root.ini");
  tree->SetCheck(tree->topLevelItem(0), 0);
  EXPECT_EQ(Checked(), QStringList());
}

TEST_F(CheckedFilesTest, PopulatedItemsDecideAndOthersFollowTheirNearestItem) {
  PickDownTo({"Media 1", "SET 1 :Daily", "C:", "A"});
  // A shows Deep (not populated) and a3; a1 and a2 have no items.
  EXPECT_EQ(ChildLabels(*tree, Item({"Media 1", "SET 1 :Daily", "C:", "A"})), (QStringList{"Deep", "a3.txt"}));
  EXPECT_EQ(Checked(), kAll);

  // B unchecked: its never-shown file stays behind.
  tree->SetCheck(Item({"Media 1", "SET 1 :Daily", "C:", "B"}), 0);
  EXPECT_EQ(Checked(), (QStringList{kVolume + "C\\c1.txt | 8", kVolume + "A\\Deep\\d1.txt | 1",
                                    kVolume + "A\\a1.txt | 2", kVolume + "A\\a2.txt | 4", kVolume + "A\\a3.txt | 5",
                                    kVolume + "root.ini | 1"}));

  // a3 unchecked: A is partly checked, so the files without items that
  // follow A are not handed on either; Deep keeps its own check.
  tree->SetCheck(Item({"Media 1", "SET 1 :Daily", "C:", "A", "a3.txt"}), 0);
  EXPECT_EQ(Checked(),
            (QStringList{kVolume + "C\\c1.txt | 8", kVolume + "A\\Deep\\d1.txt | 1", kVolume + "root.ini | 1"}));

  // Everything off but one never-populated folder deep down (a partly
  // checked item is unchecked in two steps, as two clicks on its box do).
  tree->SetCheck(tree->topLevelItem(0), 1);
  tree->SetCheck(tree->topLevelItem(0), 0);
  tree->SetCheck(Item({"Media 1", "SET 1 :Daily", "C:", "A", "Deep"}), 1);
  EXPECT_EQ(Checked(), QStringList{kVolume + "A\\Deep\\d1.txt | 1"});

  // A checked again: a1 and a2 come back with it.
  tree->SetCheck(Item({"Media 1", "SET 1 :Daily", "C:", "A"}), 1);
  EXPECT_EQ(Checked(), (QStringList{kVolume + "A\\Deep\\d1.txt | 1", kVolume + "A\\a1.txt | 2",
                                    kVolume + "A\\a2.txt | 4", kVolume + "A\\a3.txt | 5"}));
}

TEST_F(CheckedFilesTest, RenamedFilesAndFoldersAreHandedOnUnderTheirNewNames) {
  PickDownTo({"Media 1", "SET 1 :Daily", "C:"});
  TreeLabelEditEnd folder{Item({"Media 1", "SET 1 :Daily", "C:", "C"}), QStringLiteral("Cee")};
  frame->OnTreeRename(reinterpret_cast<uintptr_t>(&folder), 0);
  TreeLabelEditEnd file{Item({"Media 1", "SET 1 :Daily", "C:", "root.ini"}), QStringLiteral("boot.ini")};
  frame->OnTreeRename(reinterpret_cast<uintptr_t>(&file), 0);
  const QStringList checked = Checked();
  ASSERT_EQ(checked.size(), 7);
  EXPECT_EQ(checked.first(), kVolume + "Cee\\c1.txt | 8");
  EXPECT_EQ(checked.last(), kVolume + "boot.ini | 1");
}

TEST(CheckedFiles, ADamagedChainIsWalkedOnceAndEnds) {
  // Top lists itself among its children (after Loop); Self is its own next
  // sibling.
  auto scanner = std::make_unique<bkf>();
  CTarvelBKFTreeVectorClass& nodes = scanner->m_tree;
  nodes.AddNode(u"Top", 0);
  nodes.AddNode(u"Loop", 1);
  nodes.Node(2).nextSibling = 1;
  nodes.AddNode(u"Self", 2);
  nodes.Node(3).nextSibling = 3;
  for (int64_t parent : {1, 2, 3}) {
    FoundFileRecord r = NewFoundFileRecord();
    r.parent = parent;
    r.kind = kFileKind;
    r.index = scanner->m_files.Count();
    r.dataLength = 3;
    scanner->m_files.Append(r, u"f" + std::u16string(1, char16_t(u'0' + parent)));
  }
  CCheckTreeCtrl tree;
  QTreeWidgetItem* top = tree.InsertItem("Top", 0, 0, nullptr);
  tree.SetItemData(top, {'N', 1});
  tree.SetCheck(top, 1);
  QStringList paths;
  for (const CheckedFile& f : CollectCheckedFiles(*scanner, tree)) paths << QString::fromStdU16String(f.displayText);
  EXPECT_EQ(paths, (QStringList{"Top\\Loop\\Self\\f3", "Top\\Loop\\f2", "Top\\f1"}));
}

}  // namespace
