// What a new user meets first: the window on a small screen during a scan,
// Help without a web browser, the usual shortcuts, opening a folder from the
// file list, and backups named in capitals.

#include <QAbstractItemView>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLabel>
#include <QProgressBar>
#include <QTest>
#include <filesystem>

#include "dialogs/qt_prompt.h"
#include "dialogs/recovery_selection_dlg.h"
#include "gui_test_support.h"
#include "list/file_list_ctrl.h"
#include "list/file_list_view.h"
#include "shell/command_ids.h"
#include "shell/main_frame.h"
#include "shell/open_file_checks.h"
#include "shell/ribbon_bar.h"
#include "shell/ribbon_commands.h"
#include "shell/status_bar.h"
#include "shell/url_opener.h"
#include "shell/user_guide.h"
#include "text.h"
#include "tree/folder_tree_pane.h"
#include "tree_test_support.h"

using namespace gui_testing;
namespace fs = std::filesystem;

namespace {

const QString kNoResult = QStringLiteral("Please select BKF file to recover data.");

class NewUserTest : public FrameTest {
 protected:
  void SetUp() override {
    FrameTest::SetUp();
    folder = PrivateRoot() / "new-user";
    fs::remove_all(folder);
    fs::create_directories(folder);
  }
  void TearDown() override {
    if (frame && frame->ScanWorkerRunning()) {
      AppState().m_bProcessRunning.store(0);
      frame->WaitForScanWorker();
    }
    FrameTest::TearDown();
    // The recorders again, for an opener a test replaced.
    InstallRecorders();
  }
  // Open with the recovery selection confirmed as it stands.
  void OpenConfirmed(const QString& path) {
    prompt().fileNames = {path};
    prompt().dialogScripts.push_back([](QDialog& dialog) {
      auto& range = dynamic_cast<CTarvelRangeSliderDlg&>(dialog);
      range.OnOK();
      return range.result();
    });
    frame->OnFileOpen();
  }
  QWidget* Element(int id) const { return FindById(frame->StatusBar(), id); }

  fs::path folder;
};

TEST_F(NewUserTest, AScanOnASmallScreenKeepsTheWindowsWidthAndEveryElementInSight) {
  frame->resize(1024, 700);
  QCoreApplication::processEvents();
  ASSERT_EQ(frame->width(), 1024);

  // SmallBackup's five files, then a long sparse gap the scanner spends its time in.
  const fs::path path = folder / "gap.bkf";
  const fixture::BkfWriter front = SmallBackup();
  front.WriteTo(path);
  fs::resize_file(path, front.Size() + (uint64_t(8) << 30));
  OpenConfirmed(QString::fromStdString(path.string()));
  ASSERT_TRUE(QTest::qWaitFor(
      [&] {
        auto* found = qobject_cast<QLabel*>(Element(ID_STATUS_FILES_FOUND));
        return found && found->text() == QStringLiteral("File Found: 5");
      },
      60000));
  // The longest texts a run shows.
  frame->WindowProc(UM_SCAN_PROGRESS,
                    reinterpret_cast<uintptr_t>(new ScanProgress{99.99f, 99999999999999ULL, 999999999, 99999999999999ULL}),
                    0);
  QCoreApplication::processEvents();

  CMyRibbonStatusBar* bar = frame->StatusBar();
  const auto allInSight = [&] {
    if (frame->width() != 1024 || bar->geometry().right() >= frame->width()) return false;
    for (QWidget* element : {Element(ID_STATUS_PROGRESS_BAR), Element(ID_STATUS_PERCENT), Element(ID_STATUS_PROGRESS),
                             Element(ID_STATUS_FILES_FOUND), static_cast<QWidget*>(bar->Pane()),
                             static_cast<QWidget*>(bar->Link())}) {
      if (!element || !element->isVisible() || element->width() <= 0) return false;
      const QRect inBar(element->mapTo(bar, QPoint(0, 0)), element->size());
      if (!bar->rect().contains(inBar)) return false;
    }
    return true;
  };
  EXPECT_TRUE(QTest::qWaitFor(allInSight, 5000));
  EXPECT_EQ(frame->width(), 1024);
  EXPECT_GE(frame->minimumSizeHint().width(), 0);
  EXPECT_LE(frame->minimumSizeHint().width(), 1024);

  // With room enough the progress bar has its full width.
  frame->resize(2200, 700);
  EXPECT_TRUE(QTest::qWaitFor([&] { return Element(ID_STATUS_PROGRESS_BAR)->width() == kProgressBarWidth; }, 5000))
      << Element(ID_STATUS_PROGRESS_BAR)->width();
  frame->resize(1024, 700);

  prompt().answers = {MsgResult::Yes};
  frame->OnStop();
  ASSERT_TRUE(QTest::qWaitFor([&] { return !frame->ScanWorkerRunning(); }, 60000));
  QCoreApplication::processEvents();
  EXPECT_EQ(frame->width(), 1024);
}

TEST_F(NewUserTest, HelpWithoutABrowserSaysWhereTheGuideIs) {
  // The link reads "User guide"; the address is its tooltip.
  QLabel* link = frame->StatusBar()->Link();
  EXPECT_TRUE(link->text().contains(QStringLiteral(">User guide</a>"))) << link->text().toStdString();
  EXPECT_EQ(link->toolTip(), ProductPageUrl().toDisplayString());
  EXPECT_FALSE(link->accessibleName().isEmpty());

  QList<QUrl> tried;
  SetUrlOpener([&](const QUrl& url) {
    tried << url;
    return false;
  });
  const QString expected = QString::fromLatin1(kHelpNotOpenedText) + ProductPageUrl().toLocalFile();
  for (int id : {ID_HELP_PAGE, ID_STATUSBAR_LINK}) {
    prompt().Clear();
    frame->OnCommand(id);
    ASSERT_EQ(prompt().shown.size(), 1u) << id;
    EXPECT_EQ(prompt().shown[0].text, expected);
    EXPECT_EQ(prompt().shown[0].caption, QStringLiteral("Corvane Quillon Repair v22.0"));
    EXPECT_TRUE(prompt().shown[0].hadOwner);
  }
  EXPECT_EQ(tried.size(), 2);
  // Opened: no box.
  SetUrlOpener([](const QUrl&) { return true; });
  prompt().Clear();
  frame->OnCommand(ID_HELP_PAGE);
  EXPECT_TRUE(prompt().shown.empty());
}

// The desktop's own way: xdg-open, whose exit status tells that no program
// took the page; without xdg-open at all, Qt's call fails at once.
TEST_F(NewUserTest, HelpThroughTheDesktopLauncherReportsItsFailure) {
  const QByteArray path = qgetenv("PATH");
  const fs::path bin = folder / "bin";
  fs::create_directories(bin);
  {
    std::FILE* script = std::fopen((bin / "xdg-open").c_str(), "w");
    ASSERT_NE(script, nullptr);
    const std::string body = "#!/bin/sh\necho \"$1\" > '" + (bin / "asked").string() + "'\nexit 3\n";
    std::fputs(body.c_str(), script);
    std::fclose(script);
  }
  fs::permissions(bin / "xdg-open", fs::perms::owner_all);
  const QString expected = QString::fromLatin1(kHelpNotOpenedText) + ProductPageUrl().toLocalFile();
  SetUrlOpener(nullptr);

  qputenv("PATH", QByteArray::fromStdString(bin.string()));
  frame->OnCommand(ID_HELP_PAGE);
  EXPECT_TRUE(QTest::qWaitFor([&] { return !prompt().shown.empty(); }, 20000));
  EXPECT_EQ(prompt().Texts(), QStringList{expected});
  EXPECT_TRUE(fs::exists(bin / "asked"));

  prompt().Clear();
  fs::remove(bin / "xdg-open");
  frame->OnCommand(ID_HELP_PAGE);
  EXPECT_TRUE(QTest::qWaitFor([&] { return !prompt().shown.empty(); }, 20000));
  EXPECT_EQ(prompt().Texts(), QStringList{expected});
  qputenv("PATH", path);
}

TEST_F(NewUserTest, ShortcutsRunTheirCommandsAndShowInTheTooltips) {
  CTarvelMFCRibboBarCls* ribbon = frame->RibbonBar();
  const struct {
    int id;
    const char* tip;
  } tips[] = {{ID_FILE_OPEN_BKF, "Open BKF file (Ctrl+O)"},
              {ID_SAVE_RECOVERED, "Save recovered data (Ctrl+S)"},
              {ID_SEARCH_FILES, "Search file from the list (Ctrl+F)"},
              {ID_HELP_PAGE, "Help for Corvane Quillon Repair (F1)"},
              {ID_STOP_PROCESS, "Stop running recovery process"}};
  for (const auto& t : tips) EXPECT_EQ(ToolTipWithShortcut(*ribbon->Command(t.id)), QString::fromLatin1(t.tip));

  frame->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(frame.get()));
  QTest::keyClick(frame.get(), Qt::Key_O, Qt::ControlModifier);
  EXPECT_EQ(prompt().fileRequests.size(), 1u);  // the Open dialog, cancelled
  prompt().Clear();
  QTest::keyClick(frame.get(), Qt::Key_S, Qt::ControlModifier);
  QTest::keyClick(frame.get(), Qt::Key_F, Qt::ControlModifier);
  EXPECT_EQ(prompt().Texts(), (QStringList{kNoResult, kNoResult}));
  prompt().Clear();
  QTest::keyClick(frame.get(), Qt::Key_F1);
  EXPECT_EQ(OpenedUrls(), QList<QUrl>{ProductPageUrl()});
  // Closing asks first; No keeps everything.
  prompt().Clear();
  QTest::keyClick(frame.get(), Qt::Key_Q, Qt::ControlModifier);
  EXPECT_EQ(prompt().Texts(), QStringList{QString::fromLatin1(kCloseQuestionText)});
  EXPECT_TRUE(ExitCalls().isEmpty());
  EXPECT_TRUE(frame->isVisible());

  // A collapsed panel keeps its keys.
  frame->resize(420, 700);
  ASSERT_TRUE(QTest::qWaitFor([&] { return ribbon->IsPanelCollapsed(2); }, 5000));
  OpenedUrls().clear();
  QTest::keyClick(frame.get(), Qt::Key_F1);
  EXPECT_EQ(OpenedUrls().size(), 1);
}

TEST_F(NewUserTest, EnterOrADoubleClickOnAFolderRowOpensIt) {
  LoadResult(*frame, SmallBackup());
  CCheckTreeCtrl* tree = frame->TreeCtrl();
  CTarvelRightViewListCtrl* list = frame->ListCtrl();
  for (const QStringList& path : {QStringList{"Media 1"}, QStringList{"Media 1", "SET 1 :Daily"},
                                  QStringList{"Media 1", "SET 1 :Daily", "C:"}}) {
    QTreeWidgetItem* item = ItemByPath(*tree, path);
    tree->SelectItem(item);
    ASSERT_EQ(frame->OnTreeSelect(kTreeHitLabel, reinterpret_cast<intptr_t>(item)), 1);
  }
  ASSERT_EQ(list->GetItemText(2, 0), QStringLiteral("Docs"));
  ASSERT_EQ(list->GetItemText(3, 0), QStringLiteral("boot.ini"));

  // Enter on a file row: nothing opens.
  QTreeWidgetItem* volume = frame->CurrentFolderItem();
  list->setFocus();
  list->SelectRow(3);
  QTest::keyClick(list, Qt::Key_Return);
  EXPECT_EQ(frame->CurrentFolderItem(), volume);

  // Enter on "Docs": the tree selects it and the list shows its content.
  list->SelectRow(2);
  QTest::keyClick(list, Qt::Key_Return);
  QTreeWidgetItem* docs = ItemByPath(*tree, {"Media 1", "SET 1 :Daily", "C:", "Docs"});
  EXPECT_EQ(frame->CurrentFolderItem(), docs);
  EXPECT_EQ(tree->GetSelectedItem(), docs);
  ASSERT_GE(list->GetItemCount(), 1);
  EXPECT_EQ(list->GetItemText(0, 0), QStringLiteral("Letters"));
  EXPECT_EQ(list->GetItemText(0, 1), QStringLiteral("Folder"));

  // A double click on "Letters".
  const QPoint at = list->visualRect(list->model()->index(0, 0)).center();
  QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
  QTreeWidgetItem* letters = ItemByPath(*tree, {"Media 1", "SET 1 :Daily", "C:", "Docs", "Letters"});
  EXPECT_EQ(frame->CurrentFolderItem(), letters);
  EXPECT_EQ(tree->GetSelectedItem(), letters);

  // While a process runs the list waits like the tree.
  frame->OnTreeSelect(kTreeHitLabel, reinterpret_cast<intptr_t>(docs));
  prompt().Clear();
  AppState().m_bProcessRunning.store(1);
  list->SelectRow(0);
  QTest::keyClick(list, Qt::Key_Enter);
  AppState().m_bProcessRunning.store(0);
  EXPECT_EQ(prompt().Texts(), QStringList{QString::fromLatin1(kWaitText)});
  EXPECT_EQ(frame->CurrentFolderItem(), docs);
}

TEST_F(NewUserTest, BackupsNamedInCapitalsAreShownAndAccepted) {
  const auto make = [&](const char* name) {
    fixture::WriteFile(folder / name, fixture::FromText("TAPE"));
    return quillon::PathToUtf16(folder / name);
  };
  EXPECT_TRUE(IsSelectableBkfPath(make("BACKUP.BKF")));
  EXPECT_TRUE(IsSelectableBkfPath(make("Monday.Bkf")));
  EXPECT_TRUE(IsSelectableBkfPath(make("data.bkf.old")));
  EXPECT_FALSE(IsSelectableBkfPath(make("backup.bak")));
  EXPECT_FALSE(IsSelectableBkfPath(quillon::PathToUtf16(folder / "GONE.BKF")));
  make("notes.txt");

  // The Open command takes BACKUP.BKF on to the recovery selection.
  prompt().fileNames = {QString::fromStdString((folder / "BACKUP.BKF").string())};
  frame->OnFileOpen();
  EXPECT_EQ(prompt().dialogsRun, QStringList{QStringLiteral("CTarvelRangeSliderDlg")});
  ASSERT_EQ(prompt().fileRequests.size(), 1u);

  // The program's own file dialog, set up for the Open command's request, lists it.
  QFileDialog dialog;
  ConfigureFileDialog(dialog, prompt().fileRequests[0]);
  dialog.setDirectory(QString::fromStdString(folder.string()));
  auto* model = dialog.findChild<QFileSystemModel*>();
  ASSERT_NE(model, nullptr);
  const QModelIndex root = model->index(QString::fromStdString(folder.string()));
  const auto listed = [&] {
    QStringList names;
    for (int r = 0; r < model->rowCount(root); ++r) names << model->index(r, 0, root).data().toString();
    names.sort();
    return names;
  };
  // "*bkf" in any case: the capitals are shown, the other files are not.
  const QStringList shown{"BACKUP.BKF", "Monday.Bkf"};
  EXPECT_TRUE(QTest::qWaitFor([&] { return listed() == shown; }, 10000)) << listed().join(' ').toStdString();
}

}  // namespace
