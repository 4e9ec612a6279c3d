// The recovery selection dialog: its start state, the exclusive pairs, the
// digits-only edits, the OK rules and the state it writes, and its layout at
// normal and large fonts.

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>

#include "gui_test_support.h"
#include "dialogs/recovery_selection_dlg.h"
#include "test_support.h"

using namespace gui_testing;

namespace {

class RangeDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetRecorders();
    state.m_strBkfFileSize = u"4096";
  }
  ApplicationState state;
};

TEST_F(RangeDialogTest, OpensWithTheDefaults) {
  state.m_strRangeMin = u"11";  // earlier choices are not restored
  CTarvelRangeSliderDlg dialog(nullptr, state);
  EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Recovery Selection"));
  EXPECT_EQ(dialog.MinEdit()->text(), QStringLiteral("0"));
  EXPECT_EQ(dialog.MaxEdit()->text(), QStringLiteral("4096"));
  EXPECT_EQ(dialog.FileSize()->text(), QStringLiteral("4096"));
  EXPECT_TRUE(dialog.CompleteScan()->isChecked());
  EXPECT_FALSE(dialog.PartialScan()->isChecked());
  EXPECT_FALSE(dialog.MinEdit()->isEnabled());
  EXPECT_FALSE(dialog.MaxEdit()->isEnabled());
  EXPECT_TRUE(dialog.StandardMode()->isChecked());
  EXPECT_FALSE(dialog.AdvancedMode()->isChecked());
  EXPECT_FALSE(dialog.Heuristic()->isChecked());
  EXPECT_TRUE(dialog.Heuristic()->isEnabled());
  EXPECT_TRUE(dialog.OkButton()->isDefault());

  EXPECT_EQ(dialog.StandardMode()->text(), QStringLiteral("Standard Mode"));
  EXPECT_EQ(dialog.AdvancedMode()->text(), QStringLiteral("Advanced Mode"));
  EXPECT_EQ(dialog.Heuristic()->text(), QStringLiteral("Heuristic scanning"));
  EXPECT_EQ(dialog.CompleteScan()->text(), QStringLiteral("Scan complete BKF file"));
  EXPECT_EQ(dialog.PartialScan()->text(), QStringLiteral("Scan partial BKF file"));
  QStringList labels;
  for (QLabel* label : dialog.findChildren<QLabel*>()) labels << label->text();
  for (const char* text : {"File Size(Bytes):", "Min(Bytes):", "Max(Bytes):"})
    EXPECT_TRUE(labels.contains(QString::fromLatin1(text))) << text;
  QStringList groups;
  for (QGroupBox* group : dialog.findChildren<QGroupBox*>()) groups << group->title();
  EXPECT_TRUE(groups.contains(QStringLiteral("Select Recovery Mode:")));
  EXPECT_TRUE(groups.contains(QStringLiteral("Select file Scanning option:")));
  EXPECT_EQ(dialog.OkButton()->text(), QStringLiteral("OK"));
  EXPECT_EQ(dialog.CancelButton()->text(), QStringLiteral("Cancel"));

  EXPECT_EQ(dialog.InfoStandard()->toolTip(),
            QStringLiteral("Select Standard mode recovery to handle common corruption issues in corrupt bkf "
                           "file(Faster)."));
  EXPECT_EQ(dialog.InfoAdvanced()->toolTip(),
            QStringLiteral("Advanced mode recovery handle other corruption issues in corrupt bkf file which cannot "
                           "be handled by standard mode(Fast)."));
  EXPECT_EQ(dialog.InfoHeuristic()->toolTip(),
            QStringLiteral("Heuristic scanning option allows scanning algorithm to handle unknown tags which can "
                           "vary from OS to OS. Recommended to use only when advanced mode recover partial data "
                           "from BKF file."));
  for (QToolButton* info : {dialog.InfoStandard(), dialog.InfoAdvanced(), dialog.InfoHeuristic()}) {
    EXPECT_TRUE(info->autoRaise());
    EXPECT_FALSE(info->icon().isNull());
    // A click sets the same text again.
    const QString tip = info->toolTip();
    info->setToolTip(QString());
    info->click();
    EXPECT_EQ(info->toolTip(), tip);
  }
}

TEST_F(RangeDialogTest, PairsStayExclusiveAndEditsFollowTheScope) {
  CTarvelRangeSliderDlg dialog(nullptr, state);
  dialog.show();
  dialog.AdvancedMode()->click();
  EXPECT_TRUE(dialog.AdvancedMode()->isChecked());
  EXPECT_FALSE(dialog.StandardMode()->isChecked());
  dialog.AdvancedMode()->click();  // a second click keeps it checked
  EXPECT_TRUE(dialog.AdvancedMode()->isChecked());
  dialog.StandardMode()->click();
  EXPECT_TRUE(dialog.StandardMode()->isChecked());
  EXPECT_FALSE(dialog.AdvancedMode()->isChecked());

  dialog.PartialScan()->click();
  EXPECT_TRUE(dialog.PartialScan()->isChecked());
  EXPECT_FALSE(dialog.CompleteScan()->isChecked());
  EXPECT_TRUE(dialog.MinEdit()->isEnabled());
  EXPECT_TRUE(dialog.MaxEdit()->isEnabled());
  dialog.PartialScan()->click();
  EXPECT_TRUE(dialog.PartialScan()->isChecked());
  dialog.CompleteScan()->click();
  EXPECT_TRUE(dialog.CompleteScan()->isChecked());
  EXPECT_FALSE(dialog.PartialScan()->isChecked());
  EXPECT_FALSE(dialog.MinEdit()->isEnabled());
  EXPECT_FALSE(dialog.MaxEdit()->isEnabled());
  // The heuristic box works in both modes.
  dialog.Heuristic()->click();
  EXPECT_TRUE(dialog.Heuristic()->isChecked());
}

TEST_F(RangeDialogTest, EditsTakeDigitsOnly) {
  CTarvelRangeSliderDlg dialog(nullptr, state);
  dialog.show();
  dialog.PartialScan()->click();
  QLineEdit* min = dialog.MinEdit();
  min->clear();
  QTest::keyClicks(min, QStringLiteral("12a-3 4.5"));
  EXPECT_EQ(min->text(), QStringLiteral("12345"));
  min->clear();
  min->insert(QStringLiteral("99x"));  // pasted text goes through the same check
  EXPECT_EQ(min->text(), QString());
  min->insert(QStringLiteral("0099"));
  EXPECT_EQ(min->text(), QStringLiteral("0099"));
}

struct OkCase {
  const char* name;
  bool partial;
  const char* min;
  const char* max;
  bool advanced;
  bool heuristic;
  // Expected:
  bool accepted;
  int partialScan;
  int mode;
  int heuristicScan;
  const char16_t* rangeMin;
  const char16_t* rangeMax;
};

TEST_F(RangeDialogTest, OkRulesAndTheStateWritten) {
  const OkCase cases[] = {
      {"untouched", false, nullptr, nullptr, false, false, true, 2, 1, 0, u"old-min", u"old-max"},
      {"whole range", true, "0", "4096", false, false, true, 1, 1, 0, u"0", u"4096"},
      {"same values", true, "100", "100", false, false, false, 0, 0, 0, u"old-min", u"old-max"},
      {"both empty", true, "", "", true, true, false, 0, 0, 0, u"old-min", u"old-max"},
      {"leading zero differs", true, "0100", "100", false, false, true, 1, 1, 0, u"0100", u"100"},
      {"min above max", true, "500", "200", false, false, true, 1, 1, 0, u"500", u"200"},
      {"advanced heuristic", false, nullptr, nullptr, true, true, true, 2, 2, 1, u"old-min", u"old-max"},
      {"partial advanced", true, "7", "", true, false, true, 1, 2, 0, u"7", u""},
  };
  for (const OkCase& c : cases) {
    ResetRecorders();
    state.m_bPartialScan = 0;
    state.m_nRecoveryMode = 0;
    state.m_bHeuristicScan = 0;
    state.m_strRangeMin = u"old-min";
    state.m_strRangeMax = u"old-max";
    CTarvelRangeSliderDlg dialog(nullptr, state);
    dialog.show();
    if (c.partial) {
      dialog.PartialScan()->click();
      dialog.MinEdit()->setText(QString::fromLatin1(c.min));
      dialog.MaxEdit()->setText(QString::fromLatin1(c.max));
    }
    if (c.advanced) dialog.AdvancedMode()->click();
    if (c.heuristic) dialog.Heuristic()->click();
    dialog.OkButton()->click();

    EXPECT_EQ(dialog.isVisible(), !c.accepted) << c.name;
    EXPECT_EQ(dialog.result(), c.accepted ? QDialog::Accepted : QDialog::Rejected) << c.name;
    if (c.accepted) {
      EXPECT_TRUE(TestPrompt().shown.empty()) << c.name;
    } else {
      ASSERT_EQ(TestPrompt().shown.size(), 1u) << c.name;
      EXPECT_EQ(TestPrompt().shown[0].text, QStringLiteral("Set range properly, both value cannot be same."));
      EXPECT_EQ(TestPrompt().shown[0].caption, QStringLiteral("Corvane Quillon Repair v22.0"));
      EXPECT_EQ(TestPrompt().shown[0].icon, MsgIcon::Information);
    }
    EXPECT_EQ(state.m_bPartialScan, c.partialScan) << c.name;
    EXPECT_EQ(state.m_nRecoveryMode, c.mode) << c.name;
    EXPECT_EQ(state.m_bHeuristicScan, c.heuristicScan) << c.name;
    EXPECT_EQ(state.m_strRangeMin, std::u16string(c.rangeMin)) << c.name;
    EXPECT_EQ(state.m_strRangeMax, std::u16string(c.rangeMax)) << c.name;
  }
}

TEST_F(RangeDialogTest, HeuristicStaysOnOnceConfirmed) {
  {
    CTarvelRangeSliderDlg dialog(nullptr, state);
    dialog.Heuristic()->click();
    dialog.OnOK();
  }
  EXPECT_EQ(state.m_bHeuristicScan, 1);
  CTarvelRangeSliderDlg again(nullptr, state);
  EXPECT_FALSE(again.Heuristic()->isChecked());
  again.OnOK();
  EXPECT_EQ(state.m_bHeuristicScan, 1);
}

TEST_F(RangeDialogTest, CancelWritesNothing) {
  CTarvelRangeSliderDlg dialog(nullptr, state);
  dialog.show();
  dialog.PartialScan()->click();
  dialog.AdvancedMode()->click();
  dialog.Heuristic()->click();
  dialog.MinEdit()->setText(QStringLiteral("5"));
  QTest::keyClick(&dialog, Qt::Key_Escape);
  EXPECT_EQ(dialog.result(), QDialog::Rejected);
  dialog.CancelButton()->click();
  EXPECT_EQ(state.m_bPartialScan, 0);
  EXPECT_EQ(state.m_nRecoveryMode, 0);
  EXPECT_EQ(state.m_bHeuristicScan, 0);
  EXPECT_TRUE(state.m_strRangeMin.empty());
}

// Every control gets at least the room its text needs and no two overlap.
void ExpectCleanLayout(int pointSize) {
  QFont font = QApplication::font();
  const QFont saved = font;
  font.setPointSize(pointSize);
  QApplication::setFont(font);
  ApplicationState state;
  state.m_strBkfFileSize = u"123456789012";
  {
    CTarvelRangeSliderDlg dialog(nullptr, state);
    dialog.show();
    dialog.adjustSize();
    QCoreApplication::processEvents();
    QList<QWidget*> controls;
    for (QWidget* w : dialog.findChildren<QWidget*>()) {
      if (!w->isVisible()) continue;
      if (qobject_cast<QAbstractButton*>(w) || qobject_cast<QLabel*>(w) || qobject_cast<QLineEdit*>(w)) controls << w;
    }
    ASSERT_GE(controls.size(), 15);
    for (QWidget* w : controls) {
      EXPECT_GE(w->width(), w->minimumSizeHint().width()) << pointSize << " " << w->metaObject()->className();
      if (auto* b = qobject_cast<QAbstractButton*>(w)) {
        EXPECT_GE(w->width(), b->sizeHint().width()) << pointSize << " " << b->text().toStdString();
      }
    }
    for (int i = 0; i < controls.size(); ++i) {
      const QRect a(controls[i]->mapTo(&dialog, QPoint(0, 0)), controls[i]->size());
      // Inside its group and inside the dialog.
      EXPECT_TRUE(controls[i]->parentWidget()->rect().contains(controls[i]->geometry()))
          << pointSize << " " << controls[i]->metaObject()->className();
      EXPECT_TRUE(dialog.rect().contains(a)) << pointSize;
      for (int j = i + 1; j < controls.size(); ++j) {
        const QRect b(controls[j]->mapTo(&dialog, QPoint(0, 0)), controls[j]->size());
        EXPECT_FALSE(a.intersects(b)) << pointSize << " " << controls[i]->metaObject()->className() << " / "
                                      << controls[j]->metaObject()->className();
      }
    }
  }
  QApplication::setFont(saved);
}

TEST(RangeDialogLayout, FitsAtNormalAndLargeFonts) {
  ExpectCleanLayout(9);
  ExpectCleanLayout(20);
}

}  // namespace
