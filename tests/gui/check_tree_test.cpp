// The check-box tree by itself: the counting rules and the order of the check
// reports, the operations, the mouse and keyboard rules, editing, tooltips
// and the drawing of the boxes.

#include <QApplication>
#include <QHelpEvent>
#include <QLineEdit>
#include <QProxyStyle>
#include <QScrollBar>
#include <QTest>
#include <QToolTip>
#include <functional>

#include "gui_test_support.h"
#include "tree_test_support.h"

using namespace gui_testing;

namespace {

// Every item's record holds the true counts of its subtree, and an item with
// descendants has its own flag set exactly when all of them are checked.
void ExpectExactCounts(const CCheckTreeCtrl& tree) {
  std::function<std::pair<int64_t, int64_t>(QTreeWidgetItem*)> walk = [&](QTreeWidgetItem* item) {
    int64_t descendants = 0, checked = 0;
    for (int i = 0; i < item->childCount(); ++i) {
      const auto [d, c] = walk(item->child(i));
      descendants += d + 1;
      checked += c + (tree.GetRecord(item->child(i))->checked ? 1 : 0);
    }
    const CHECKTREEDATA* r = tree.GetRecord(item);
    const QString label = tree.GetItemText(item);
    EXPECT_EQ(r->descendants, descendants) << label.toStdString();
    EXPECT_EQ(r->checkedDescendants, checked) << label.toStdString();
    if (descendants > 0) {
      EXPECT_EQ(r->checked != 0, checked == descendants) << label.toStdString();
    }
    return std::pair{descendants, checked};
  };
  for (int i = 0; i < tree.topLevelItemCount(); ++i) walk(tree.topLevelItem(i));
}

struct CheckScenario {
  const char* name;
  std::vector<QString> paths;
  std::function<void(TreeBench&)> setup;
  std::function<void(TreeBench&)> act;
  std::vector<std::pair<QString, QString>> boxes;  // label, appearance after act
  QStringList reports;                             // UM_TREE_CHECK after setup
};

const auto kFolder = std::vector<QString>{"G", "G/F", "G/F/a", "G/F/b", "G/c"};

TEST(CheckTree, CountingRulesAndReportOrder) {
  const CheckScenario scenarios[] = {
      {"an insertion under a checked folder makes it and the folders above partly checked",
       {"G", "G/F", "G/F/a"},
       [](TreeBench& b) { b.tree->SetCheck(b["G"], 1); },
       [](TreeBench& b) { b.Add("G/F/n"); },
       {{"G", "partly"}, {"F", "partly"}, {"a", "checked"}, {"n", "unchecked"}},
       {}},
      {"checking the new item makes them checked again",
       {"G", "G/F", "G/F/a"},
       [](TreeBench& b) { b.tree->SetCheck(b["G"], 1); },
       [](TreeBench& b) { b.tree->SetCheck(b.Add("G/F/n"), 1); },
       {{"G", "checked"}, {"F", "checked"}, {"n", "checked"}},
       {"n=1"}},
      {"unchecking one file of a checked folder makes every folder above partly checked",
       kFolder,
       [](TreeBench& b) { b.tree->SetCheck(b["G"], 1); },
       [](TreeBench& b) { b.tree->SetCheck(b["a"], 0); },
       {{"G", "partly"}, {"F", "partly"}, {"a", "unchecked"}, {"b", "checked"}, {"c", "checked"}},
       {"a=0"}},
      {"checking it again makes all checked",
       kFolder,
       [](TreeBench& b) {
         b.tree->SetCheck(b["G"], 1);
         b.tree->SetCheck(b["a"], 0);
       },
       [](TreeBench& b) { b.tree->SetCheck(b["a"], 1); },
       {{"G", "checked"}, {"F", "checked"}, {"a", "checked"}},
       {"a=1"}},
      {"checking a partly checked folder reports every item below it, deepest first, then the folder",
       kFolder,
       [](TreeBench& b) { b.tree->SetCheck(b["a"], 1); },
       [](TreeBench& b) { b.tree->SetCheck(b["G"], 1); },
       {{"G", "checked"}, {"F", "checked"}, {"b", "checked"}, {"c", "checked"}},
       {"a=1", "b=1", "F=1", "c=1", "G=1"}},
      {"unchecking a folder reports its subtree the same way",
       kFolder,
       [](TreeBench& b) { b.tree->SetCheck(b["G"], 1); },
       [](TreeBench& b) { b.tree->SetCheck(b["F"], 0); },
       {{"G", "partly"}, {"F", "unchecked"}, {"a", "unchecked"}, {"c", "checked"}},
       {"a=0", "b=0", "F=0"}},
      {"the state a checked folder already has changes nothing but is reported",
       kFolder,
       [](TreeBench& b) { b.tree->SetCheck(b["G"], 1); },
       [](TreeBench& b) { b.tree->SetCheck(b["F"], 1); },
       {{"G", "checked"}, {"F", "checked"}, {"a", "checked"}},
       {"F=1"}},
      {"unchecking a partly checked folder whose own flag is 0 changes nothing but is reported",
       kFolder,
       [](TreeBench& b) {
         b.tree->SetCheck(b["G"], 1);
         b.tree->SetCheck(b["a"], 0);
       },
       [](TreeBench& b) { b.tree->SetCheck(b["F"], 0); },
       {{"G", "partly"}, {"F", "partly"}, {"b", "checked"}},
       {"F=0"}},
      {"deleting a checked placeholder under a checked folder leaves the folder checked",
       {"T", "T/F", "T/F/Dummy", "T/x"},
       [](TreeBench& b) { b.tree->SetCheck(b["T"], 1); },
       [](TreeBench& b) { b.tree->DeleteItem(b["Dummy"]); },
       {{"T", "checked"}, {"F", "checked"}},
       {}},
      {"deleting an unchecked placeholder under an unchecked folder leaves it unchecked",
       {"T", "T/F", "T/F/Dummy", "T/x"},
       [](TreeBench& b) { b.tree->SetCheck(b["x"], 1); },
       [](TreeBench& b) { b.tree->DeleteItem(b["Dummy"]); },
       {{"T", "partly"}, {"F", "unchecked"}},
       {}},
      {"deleting the one unchecked item among checked ones makes the folders above checked",
       kFolder,
       [](TreeBench& b) {
         b.tree->SetCheck(b["G"], 1);
         b.tree->SetCheck(b["b"], 0);
       },
       [](TreeBench& b) { b.tree->DeleteItem(b["b"]); },
       {{"G", "checked"}, {"F", "checked"}, {"a", "checked"}},
       {}},
      {"deleting a folder with its subtree keeps the counts above",
       kFolder,
       [](TreeBench& b) {
         b.tree->SetCheck(b["G"], 1);
         b.tree->SetCheck(b["a"], 0);
       },
       [](TreeBench& b) { b.tree->DeleteItem(b["F"]); },
       {{"G", "checked"}, {"c", "checked"}},
       {}},
      {"a leaf's box follows its own flag",
       {"L"},
       {},
       [](TreeBench& b) { b.tree->SetCheck(b["L"], 1); },
       {{"L", "checked"}},
       {"L=1"}},
  };
  for (const CheckScenario& s : scenarios) {
    SCOPED_TRACE(s.name);
    TreeBench bench;
    for (const QString& path : s.paths) bench.Add(path);
    if (s.setup) s.setup(bench);
    bench.recorder->messages.clear();
    s.act(bench);
    for (const auto& [label, box] : s.boxes) EXPECT_EQ(bench.Box(label), box) << label.toStdString();
    EXPECT_EQ(bench.recorder->CheckReports(), s.reports);
    ExpectExactCounts(*bench.tree);
  }
}

TEST(CheckTree, EffectiveStateAndFirstCheckedItemOverClosedBranches) {
  TreeBench b;
  for (const QString& path : kFolder) b.Add(path);
  b.Add("H");
  EXPECT_EQ(b.tree->GetFirstCheckedItem(), nullptr);
  EXPECT_EQ(b.tree->GetCheck(nullptr), 0);
  // Only a leaf deep in a closed branch is checked.
  b.tree->SetCheck(b["b"], 1);
  EXPECT_FALSE(b["G"]->isExpanded());
  EXPECT_EQ(b.tree->GetFirstCheckedItem(), b["b"]);
  EXPECT_EQ(b.tree->GetCheck(b["F"]), 0);  // partly checked
  // Pre-order: a checked folder comes before its items.
  b.tree->SetCheck(b["F"], 1);
  EXPECT_EQ(b.tree->GetFirstCheckedItem(), b["F"]);
  EXPECT_EQ(b.tree->GetCheck(b["F"]), 1);
  b.tree->SetCheck(b["G"], 1);
  EXPECT_EQ(b.tree->GetFirstCheckedItem(), b["G"]);

  // An item the control did not insert has no record: nothing to check.
  auto* foreign = new QTreeWidgetItem(b.tree.get(), QStringList{QStringLiteral("foreign")});
  b.recorder->messages.clear();
  b.tree->SetCheck(foreign, 1);
  EXPECT_EQ(b.tree->GetCheck(foreign), 0);
  EXPECT_EQ(b.tree->GetRecord(foreign), nullptr);
  EXPECT_TRUE(b.recorder->messages.empty());
}

TEST(CheckTree, DeleteAllItemsSendsNothingAndForgetsEverything) {
  TreeBench b;
  for (const QString& path : kFolder) b.Add(path);
  b.tree->SetCheck(b["G"], 1);
  b.tree->EditLabel(b["a"]);
  ASSERT_TRUE(b.tree->IsEditingLabel());
  b.recorder->messages.clear();
  b.tree->DeleteAllItems();
  EXPECT_TRUE(b.recorder->messages.empty());
  EXPECT_EQ(b.tree->topLevelItemCount(), 0);
  EXPECT_FALSE(b.tree->IsEditingLabel());
  EXPECT_FALSE(b.tree->IsClearing());
  EXPECT_EQ(b.tree->GetFirstCheckedItem(), nullptr);
  // Usable again afterwards.
  b.tree->SetCheck(b.Add("N"), 1);
  EXPECT_EQ(b.recorder->CheckReports(), QStringList{"N=1"});
}

TEST(CheckTree, CollapseAllAndExpandBranch) {
  TreeBench b;
  for (const char* path : {"A", "A/B", "A/B/C", "A/B/C/x", "A/y", "Z", "Z/z"}) b.Add(QString::fromLatin1(path));
  b.tree->ExpandBranch(b["A"]);
  for (const char* label : {"A", "B", "C"}) {
    EXPECT_TRUE(b[label]->isExpanded()) << label;
    EXPECT_EQ(b.tree->GetRecord(b[label])->expanded, 1) << label;
  }
  EXPECT_FALSE(b["Z"]->isExpanded());
  b.tree->SelectItem(b["x"]);
  b.tree->horizontalScrollBar()->setValue(b.tree->horizontalScrollBar()->maximum());
  b.recorder->messages.clear();

  b.tree->CollapseAll();
  for (const char* label : {"A", "B", "C", "Z"}) {
    EXPECT_FALSE(b[label]->isExpanded()) << label;
    EXPECT_EQ(b.tree->GetRecord(b[label])->expanded, 0) << label;
  }
  EXPECT_EQ(b.tree->GetSelectedItem(), b["A"]);
  EXPECT_EQ(b.tree->horizontalScrollBar()->value(), 0);
  EXPECT_TRUE(b.recorder->messages.empty());  // no UM_TREE_SELECT
}

// Clicks and keys on a shown tree: G (F (a, b), c) and H.
class CheckTreeInput : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const QString& path : kFolder) b.Add(path);
    b.Add("H");
    b.tree->SetCheck(b["G"], 1);
    b.tree->setFocus();
    b.recorder->messages.clear();
  }
  QPoint At(const QString& label, CCheckTreeCtrl::Part part) const {
    return b.tree->PartRect(b[label], part).center();
  }
  QPoint ButtonOf(const QString& label) const {
    const QRect cell = b.tree->visualItemRect(b[label]);
    return QPoint(cell.left() - b.tree->indentation() / 2, cell.center().y());
  }
  void Click(const QPoint& at, Qt::MouseButton button = Qt::LeftButton) {
    QTest::mouseClick(b.tree->viewport(), button, Qt::NoModifier, at);
  }
  void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(b.tree.get(), Qt::Key(key), modifiers);
  }

  TreeBench b;
};

TEST_F(CheckTreeInput, ClicksOnLabelIconAndElsewhere) {
  Click(At("G", CCheckTreeCtrl::Part::Label));
  auto selects = b.recorder->Of(UM_TREE_SELECT);
  ASSERT_EQ(selects.size(), 1u);
  EXPECT_EQ(selects[0].wParam, uintptr_t(kTreeHitLabel));
  EXPECT_EQ(selects[0].item, b["G"]);
  EXPECT_EQ(b.tree->GetSelectedItem(), b["G"]);

  Click(At("H", CCheckTreeCtrl::Part::Icon));
  selects = b.recorder->Of(UM_TREE_SELECT);
  ASSERT_EQ(selects.size(), 2u);
  EXPECT_EQ(selects[1].wParam, uintptr_t(kTreeHitIcon));
  EXPECT_EQ(selects[1].item, b["H"]);

  // Right of the label: selected, but no message.
  b.recorder->messages.clear();
  const QRect label = b.tree->PartRect(b["G"], CCheckTreeCtrl::Part::Label);
  Click(QPoint(label.right() + 20, label.center().y()));
  EXPECT_EQ(b.tree->GetSelectedItem(), b["G"]);
  EXPECT_TRUE(b.recorder->messages.empty());
  // Below the last item: nothing changes.
  Click(QPoint(10, b.tree->viewport()->height() - 5));
  EXPECT_EQ(b.tree->GetSelectedItem(), b["G"]);
  EXPECT_TRUE(b.recorder->messages.empty());
  EXPECT_EQ(b.tree->HitTest(QPoint(10, b.tree->viewport()->height() - 5), nullptr), uint32_t(kTreeHitNowhere));
}

TEST_F(CheckTreeInput, ExpandButtonOpensSelectsAndReports) {
  EXPECT_EQ(b.tree->HitTest(ButtonOf("G"), nullptr), uint32_t(kTreeHitButton));
  EXPECT_EQ(b.tree->HitTest(ButtonOf("H"), nullptr), uint32_t(kTreeHitIndent));  // no children
  Click(ButtonOf("G"));
  EXPECT_TRUE(b["G"]->isExpanded());
  EXPECT_EQ(b.tree->GetSelectedItem(), b["G"]);
  auto expands = b.recorder->Of(UM_TREE_EXPAND);
  ASSERT_EQ(expands.size(), 1u);
  EXPECT_EQ(expands[0].wParam, uintptr_t(kTreeHitButton));
  EXPECT_EQ(expands[0].item, b["G"]);
  EXPECT_TRUE(b.recorder->Of(UM_TREE_SELECT).empty());
  Click(ButtonOf("G"));
  EXPECT_FALSE(b["G"]->isExpanded());
  EXPECT_EQ(b.recorder->Of(UM_TREE_EXPAND).size(), 2u);
}

TEST_F(CheckTreeInput, CheckBoxClickTogglesSelectsQuietlyAndTurnsHot) {
  Click(ButtonOf("G"));
  b.recorder->messages.clear();
  Click(At("F", CCheckTreeCtrl::Part::CheckBox));
  EXPECT_EQ(b.recorder->CheckReports(), (QStringList{"a=0", "b=0", "F=0"}));
  EXPECT_EQ(b.Box("G"), "partly");
  EXPECT_EQ(b.tree->GetSelectedItem(), b["F"]);
  EXPECT_TRUE(b.recorder->Of(UM_TREE_SELECT).empty());
  EXPECT_EQ(b.tree->HotItem(), b["F"]);
  // The pointer leaves the tree: the box is normal again.
  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(b.tree->viewport(), &leave);
  EXPECT_EQ(b.tree->HotItem(), nullptr);
  // A partly checked folder's box checks everything below it.
  Click(At("G", CCheckTreeCtrl::Part::CheckBox));
  EXPECT_EQ(b.Box("G"), "checked");
  EXPECT_EQ(b.Box("F"), "checked");
}

TEST_F(CheckTreeInput, DoubleClickOpensAndCloses) {
  QTest::mouseDClick(b.tree->viewport(), Qt::LeftButton, Qt::NoModifier, At("G", CCheckTreeCtrl::Part::Label));
  EXPECT_TRUE(b["G"]->isExpanded());
  EXPECT_EQ(b.tree->GetRecord(b["G"])->expanded, 1);
  QTest::mouseDClick(b.tree->viewport(), Qt::LeftButton, Qt::NoModifier, At("G", CCheckTreeCtrl::Part::Label));
  EXPECT_FALSE(b["G"]->isExpanded());
  EXPECT_EQ(b.tree->GetRecord(b["G"])->expanded, 0);
}

TEST_F(CheckTreeInput, RightButtonSelectsAndAsksForTheMenu) {
  Click(At("H", CCheckTreeCtrl::Part::Label), Qt::RightButton);
  auto contexts = b.recorder->Of(UM_TREE_CONTEXT);
  ASSERT_EQ(contexts.size(), 1u);
  EXPECT_EQ(contexts[0].item, b["H"]);
  EXPECT_EQ(contexts[0].wParam, uintptr_t(kTreeHitLabel));
  EXPECT_EQ(b.tree->GetSelectedItem(), b["H"]);
  EXPECT_TRUE(b.recorder->Of(UM_TREE_SELECT).empty());
  // No item under the pointer: the selection stays, the message says none.
  Click(QPoint(10, b.tree->viewport()->height() - 5), Qt::RightButton);
  contexts = b.recorder->Of(UM_TREE_CONTEXT);
  ASSERT_EQ(contexts.size(), 2u);
  EXPECT_EQ(contexts[1].item, nullptr);
  EXPECT_EQ(contexts[1].wParam, uintptr_t(kTreeHitNowhere));
  EXPECT_EQ(b.tree->GetSelectedItem(), b["H"]);
  // An empty tree sends nothing.
  b.tree->DeleteAllItems();
  b.recorder->messages.clear();
  Click(QPoint(10, 10), Qt::RightButton);
  EXPECT_TRUE(b.recorder->messages.empty());
}

TEST_F(CheckTreeInput, SpaceAndArrowKeys) {
  b.tree->SelectItem(b["G"]);
  Key(Qt::Key_Space);
  EXPECT_EQ(b.Box("G"), "unchecked");
  EXPECT_EQ(b.recorder->CheckReports().last(), "G=0");

  // Right opens a closed folder, then moves into it; Left closes, then moves out.
  b.recorder->messages.clear();
  Key(Qt::Key_Right);
  EXPECT_TRUE(b["G"]->isExpanded());
  EXPECT_EQ(b.tree->GetSelectedItem(), b["G"]);
  Key(Qt::Key_Right);
  EXPECT_EQ(b.tree->GetSelectedItem(), b["F"]);
  Key(Qt::Key_Left);  // F is closed: out to G
  EXPECT_EQ(b.tree->GetSelectedItem(), b["G"]);
  Key(Qt::Key_Left);
  EXPECT_FALSE(b["G"]->isExpanded());
  EXPECT_TRUE(b.recorder->messages.empty());

  // Down and Up move over the visible items and report each step.
  Key(Qt::Key_Down);
  ASSERT_EQ(b.recorder->Of(UM_TREE_SELECT).size(), 1u);
  EXPECT_EQ(b.recorder->Of(UM_TREE_SELECT)[0].item, b["H"]);
  EXPECT_EQ(b.recorder->Of(UM_TREE_SELECT)[0].wParam, 0u);
  EXPECT_EQ(b.tree->GetSelectedItem(), b["H"]);
  // At the ends nothing is reported.
  Key(Qt::Key_Down);
  EXPECT_EQ(b.recorder->Of(UM_TREE_SELECT).size(), 1u);
  EXPECT_EQ(b.tree->GetSelectedItem(), b["H"]);
  Key(Qt::Key_Up);
  EXPECT_EQ(b.tree->GetSelectedItem(), b["G"]);
  Key(Qt::Key_Up);
  EXPECT_EQ(b.recorder->Of(UM_TREE_SELECT).size(), 2u);
  EXPECT_EQ(b.tree->GetSelectedItem(), b["G"]);
}

TEST_F(CheckTreeInput, KeypadOpensBranchesAndItems) {
  b.Add("G/F/a/deep");  // a gets a child of its own
  b.tree->SelectItem(b["G"]);
  Key(Qt::Key_Asterisk, Qt::KeypadModifier);
  for (const char* label : {"G", "F", "a"}) EXPECT_TRUE(b[label]->isExpanded()) << label;
  Key(Qt::Key_Minus, Qt::KeypadModifier);
  EXPECT_FALSE(b["G"]->isExpanded());
  Key(Qt::Key_Plus, Qt::KeypadModifier);
  EXPECT_TRUE(b["G"]->isExpanded());
  // The same characters typed on the main keyboard do not open or close.
  Key(Qt::Key_Minus);
  EXPECT_TRUE(b["G"]->isExpanded());
  EXPECT_TRUE(b.recorder->messages.empty());
}

TEST_F(CheckTreeInput, LabelEditingEndsInARenameMessage) {
  b.tree->EditLabel(b["c"]);
  auto* editor = b.tree->findChild<QLineEdit*>(QStringLiteral("treeLabelEditor"));
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(editor->text(), QStringLiteral("c"));
  editor->selectAll();
  QTest::keyClicks(editor, QStringLiteral("renamed & more"));
  QTest::keyClick(editor, Qt::Key_Return);
  EXPECT_TRUE(QTest::qWaitFor([&] { return !b.recorder->Of(UM_TREE_RENAME).empty(); }, 2000));
  auto renames = b.recorder->Of(UM_TREE_RENAME);
  ASSERT_EQ(renames.size(), 1u);
  EXPECT_EQ(renames[0].item, b["c"]);
  EXPECT_EQ(renames[0].renameText, QStringLiteral("renamed & more"));
  EXPECT_EQ(renames[0].lParam, 0);
  // The control does not take the text itself.
  EXPECT_EQ(b.tree->GetItemText(b["c"]), QStringLiteral("c"));
  EXPECT_FALSE(b.tree->IsEditingLabel());

  // Escape cancels: the message carries no text.
  b.tree->EditLabel(b["H"]);
  editor = b.tree->findChild<QLineEdit*>(QStringLiteral("treeLabelEditor"));
  ASSERT_NE(editor, nullptr);
  QTest::keyClicks(editor, QStringLiteral("x"));
  QTest::keyClick(editor, Qt::Key_Escape);
  renames = b.recorder->Of(UM_TREE_RENAME);
  ASSERT_EQ(renames.size(), 2u);
  EXPECT_EQ(renames[1].item, b["H"]);
  EXPECT_EQ(renames[1].renameText, std::nullopt);

  // An item deleted while being edited ends the edit without an item.
  b.tree->EditLabel(b["b"]);
  b.tree->DeleteItem(b["b"]);
  renames = b.recorder->Of(UM_TREE_RENAME);
  ASSERT_EQ(renames.size(), 3u);
  EXPECT_EQ(renames[2].item, nullptr);
  EXPECT_FALSE(b.tree->IsEditingLabel());
}

TEST_F(CheckTreeInput, SlowSecondClickOnTheSelectedLabelStartsEditing) {
  Click(At("H", CCheckTreeCtrl::Part::Label));
  EXPECT_FALSE(b.tree->IsEditingLabel());
  Click(At("H", CCheckTreeCtrl::Part::Label));
  EXPECT_TRUE(QTest::qWaitFor([&] { return b.tree->IsEditingLabel(); }, 3000));
  QTest::keyClick(b.tree->findChild<QLineEdit*>(QStringLiteral("treeLabelEditor")), Qt::Key_Escape);
  // A click on an item that was not selected only selects it.
  Click(At("G", CCheckTreeCtrl::Part::Label));
  QTest::qWait(QApplication::doubleClickInterval() + 100);
  EXPECT_FALSE(b.tree->IsEditingLabel());
}

TEST_F(CheckTreeInput, TooltipsShowCutOffLabelsCutTo79Characters) {
  const QString longLabel = QString(120, QLatin1Char('w'));
  QTreeWidgetItem* item = b.Add(longLabel);
  b.tree->resize(200, 300);
  QCoreApplication::processEvents();
  const auto tipAt = [&](QTreeWidgetItem* at) {
    const QPoint pos = b.tree->PartRect(at, CCheckTreeCtrl::Part::Icon).center();
    QHelpEvent help(QEvent::ToolTip, pos, b.tree->viewport()->mapToGlobal(pos));
    QApplication::sendEvent(b.tree->viewport(), &help);
    return QToolTip::isVisible() ? QToolTip::text() : QString();
  };
  EXPECT_EQ(tipAt(b["H"]), QString());
  EXPECT_EQ(tipAt(item), longLabel.left(79));
  QToolTip::hideText();
}

// Records the check boxes the style is asked to draw.
class BoxRecordingStyle : public QProxyStyle {
 public:
  void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override {
    if (element == PE_IndicatorItemViewItemCheck) states.push_back(option->state);
    QProxyStyle::drawPrimitive(element, option, painter, widget);
  }
  mutable std::vector<QStyle::State> states;
};

TEST_F(CheckTreeInput, BoxesAreTheStylesOwnInThreeAppearancesWithAHotVariant) {
  b.tree->SetCheck(b["a"], 0);  // G and F partly checked, b and c checked, H unchecked
  b.tree->expandAll();
  auto* style = new BoxRecordingStyle;
  b.tree->setStyle(style);
  const auto drawn = [&] {
    style->states.clear();
    b.tree->grab();
    return style->states;
  };
  std::vector<QStyle::State> states = drawn();
  ASSERT_EQ(states.size(), 6u);  // G, F, a, b, c, H
  const auto appearance = [](QStyle::State s) {
    return s & QStyle::State_NoChange ? "partly" : s & QStyle::State_On ? "checked" : "unchecked";
  };
  const char* expected[] = {"partly", "partly", "unchecked", "checked", "checked", "unchecked"};
  for (size_t i = 0; i < states.size(); ++i) {
    EXPECT_STREQ(appearance(states[i]), expected[i]) << i;
    EXPECT_FALSE(states[i] & QStyle::State_MouseOver) << i;
  }
  Click(At("H", CCheckTreeCtrl::Part::CheckBox));
  states = drawn();
  ASSERT_EQ(states.size(), 6u);
  EXPECT_STREQ(appearance(states[5]), "checked");
  EXPECT_TRUE(states[5] & QStyle::State_MouseOver);
  EXPECT_FALSE(states[4] & QStyle::State_MouseOver);
  b.tree->setStyle(nullptr);
  delete style;
}

}  // namespace
