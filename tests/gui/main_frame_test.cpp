// The main window: ribbon, status bar, panes, the refusals of every command,
// Stop's enable rule, the busy guard, the worker bridge, Help, About and closing.

#include <QAction>
#include <QDockWidget>
#include <QFile>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <atomic>
#include <fstream>
#include <thread>

#include "dialogs/about_dlg.h"
#include "shell/app_settings.h"
#include "shell/command_ids.h"
#include "tree/folder_tree_pane.h"
#include "gui_test_support.h"
#include "list/file_list_view.h"
#include "shell/main_frame.h"
#include "log/output_pane.h"
#include "preview_folder.h"
#include "shell/ribbon_bar.h"
#include "list/file_list_ctrl.h"
#include "static_file_viewer.h"
#include "shell/status_bar.h"
#include "shell/user_guide.h"

using namespace gui_testing;

namespace {

const QString kCaption = QStringLiteral("Corvane Quillon Repair v22.0");

class MainFrameTest : public FrameTest {
 protected:
  void SetBusy(bool busy) { AppState().m_bProcessRunning.store(busy ? 1 : 0); }
  // Runs a command and returns the texts it showed.
  QStringList Run(int id) {
    prompt().Clear();
    frame->OnCommand(id);
    return prompt().Texts();
  }
};

TEST_F(MainFrameTest, RibbonHoldsTheCommandTable) {
  CTarvelMFCRibboBarCls* ribbon = frame->RibbonBar();
  EXPECT_EQ(ribbon->CategoryName(), QStringLiteral("Corvane Quillon Repair"));
  ASSERT_EQ(ribbon->PanelCount(), 3);
  EXPECT_EQ(ribbon->PanelCaption(0), QStringLiteral("BKF Repair"));
  EXPECT_EQ(ribbon->PanelCaption(1), QStringLiteral("BKF File Snapshots"));
  EXPECT_EQ(ribbon->PanelCaption(2), QStringLiteral("About BKF Repair"));

  struct Expected {
    int panel;
    int id;
    const char* label;
    const char* tooltip;
  } expected[] = {
      {0, 283, "Open", "Open BKF file"},
      {0, 322, "Stop", "Stop running recovery process"},
      {0, 298, "Save", "Save recovered data"},
      {0, 297, "Search", "Search file from the list"},
      {0, 325, "Log", "Save log for BKF file."},
      {1, 293, "Load", "Load Quillon Recovery Snapshot"},
      {1, 294, "Save", "Save Quillon Recovery Snapshot"},
      {2, 295, "Help", "Help for Corvane Quillon Repair"},
      {2, 296, "About", "About Corvane Quillon Repair"},
  };
  QList<int> order;
  for (const Expected& e : expected) {
    order << e.id;
    QAction* action = ribbon->Command(e.id);
    ASSERT_NE(action, nullptr) << e.id;
    EXPECT_EQ(action->text(), QString::fromLatin1(e.label)) << e.id;
    EXPECT_EQ(action->toolTip(), QString::fromLatin1(e.tooltip)) << e.id;
    EXPECT_FALSE(action->icon().isNull()) << e.id;
    EXPECT_TRUE(ribbon->PanelCommands(e.panel).contains(e.id)) << e.id;
    EXPECT_EQ(ribbon->CommandButton(e.id)->iconSize(), QSize(32, 32));
  }
  EXPECT_EQ(ribbon->CommandIds(), order);

  QToolButton* app = ribbon->ApplicationButton();
  EXPECT_EQ(app->size(), QSize(42, 42));
  EXPECT_EQ(app->toolTip(), QStringLiteral("Corvane Quillon Repair"));
  EXPECT_TRUE(app->text().isEmpty());
  EXPECT_EQ(app->property("keyTip").toString(), QStringLiteral("f"));
  EXPECT_EQ(app->menu(), nullptr);
  EXPECT_FALSE(app->icon().isNull());
}

TEST(Ribbon, NarrowRibbonCollapsesPanelsFromTheLast) {
  CTarvelMFCRibboBarCls bar;
  CTarvelMFCRibboBarCls* ribbon = &bar;
  bar.show();
  const int height = ribbon->sizeHint().height();
  ribbon->resize(1600, height);
  for (int p = 0; p < 3; ++p) EXPECT_FALSE(ribbon->IsPanelCollapsed(p)) << p;
  // Shrinking the ribbon folds the panels one by one, the last one first.
  QList<int> order;
  for (int width = 1600; width >= 120; width -= 8) {
    ribbon->resize(width, height);
    for (int p = 2; p >= 0; --p)
      if (ribbon->IsPanelCollapsed(p) && !order.contains(p)) order << p;
  }
  EXPECT_EQ(order, (QList<int>{2, 1, 0}));
  // A collapsed panel drops down its commands, with the panel picture.
  auto collapsed = ribbon->findChildren<QToolButton*>(QStringLiteral("ribbonCollapsedPanel"));
  ASSERT_EQ(collapsed.size(), 3);
  for (int p = 0; p < 3; ++p) {
    QToolButton* button = collapsed[p];
    EXPECT_FALSE(button->isHidden());
    EXPECT_EQ(button->text(), ribbon->PanelCaption(p));
    EXPECT_FALSE(button->icon().isNull());
    ASSERT_NE(button->menu(), nullptr);
    QList<int> ids;
    for (QAction* a : button->menu()->actions()) ids << a->data().toInt();
    EXPECT_EQ(ids, ribbon->PanelCommands(p));
  }
  ribbon->resize(1600, height);
  for (int p = 0; p < 3; ++p) EXPECT_FALSE(ribbon->IsPanelCollapsed(p)) << p;
}

TEST_F(MainFrameTest, StatusBarAndPanes) {
  auto* pane = FindById<QLabel>(frame->StatusBar(), 121);
  ASSERT_NE(pane, nullptr);
  EXPECT_EQ(pane->text(), QStringLiteral("Corvane Quillon Repair"));
  auto* link = FindById<QLabel>(frame->StatusBar(), 311);
  ASSERT_NE(link, nullptr);
  EXPECT_EQ(link->property("elementLabel").toString(), QStringLiteral("Corvane Quillon Repair"));
  EXPECT_TRUE(link->text().contains(ProductPageUrl().toDisplayString().toHtmlEscaped()));

  QDockWidget* tree = frame->FileViewPane();
  QDockWidget* output = frame->OutputPane();
  EXPECT_EQ(tree->windowTitle(), QStringLiteral("BKF File"));
  EXPECT_EQ(output->windowTitle(), QStringLiteral("BKF File Status"));
  EXPECT_EQ(tree->property("controlId").toInt(), 133);
  EXPECT_EQ(output->property("controlId").toInt(), 149);
  EXPECT_EQ(frame->dockWidgetArea(tree), Qt::LeftDockWidgetArea);
  EXPECT_EQ(frame->dockWidgetArea(output), Qt::BottomDockWidgetArea);
  for (QDockWidget* dock : {tree, output}) {
    EXPECT_EQ(dock->allowedAreas(), Qt::AllDockWidgetAreas);
    EXPECT_TRUE(dock->features() & QDockWidget::DockWidgetClosable);
    EXPECT_TRUE(dock->features() & QDockWidget::DockWidgetFloatable);
    EXPECT_TRUE(dock->features() & QDockWidget::DockWidgetMovable);
  }
  EXPECT_TRUE(frame->FileView()->IsEmpty());
  const QAbstractItemModel* list = frame->View()->FileList()->model();
  EXPECT_EQ(list->headerData(0, Qt::Horizontal).toString(), QStringLiteral("File Name"));
  EXPECT_EQ(list->headerData(1, Qt::Horizontal).toString(), QStringLiteral("File Type"));
  EXPECT_EQ(frame->windowTitle(), kCaption);
}

TEST_F(MainFrameTest, EveryGuardedCommandRefusesWhileBusy) {
  struct Case {
    int id;
    const char* text;
  } cases[] = {
      {283, "Please stop the running process to open the BKF file."},
      {298, "Please stop the running process to save the recovered files."},
      {297, "Please stop the running process to search the files."},
      {325, "Please stop the running process to save the log file."},
      {293, "Please stop the running process to load recovery snapshot."},
      {294, "Please stop the running process to save recovery snapshot."},
  };
  // With a result and a checked item, so that only the busy check can refuse.
  GiveScanner();
  AddTreeItem(QStringLiteral("SET 1"), true);
  for (const Case& c : cases) {
    SetBusy(true);
    EXPECT_EQ(Run(c.id), QStringList{QString::fromLatin1(c.text)}) << c.id;
    ASSERT_EQ(prompt().shown.size(), 1u);
    EXPECT_EQ(prompt().shown[0].caption, kCaption);
    EXPECT_EQ(prompt().shown[0].icon, MsgIcon::Information);
    EXPECT_EQ(prompt().shown[0].buttons, MsgButtons::Ok);
    EXPECT_TRUE(prompt().fileRequests.empty()) << c.id;
    EXPECT_TRUE(prompt().dialogsRun.isEmpty()) << c.id;
    EXPECT_EQ(AppState().m_bProcessRunning.load(), 1);
  }
}

TEST_F(MainFrameTest, IdleCommandsWithoutAResult) {
  const QStringList none;
  const QStringList noResult{QStringLiteral("Please select BKF file to recover data.")};
  EXPECT_EQ(Run(283), none);  // the file dialog, cancelled
  EXPECT_EQ(prompt().fileRequests.size(), 1u);
  EXPECT_EQ(Run(298), noResult);
  EXPECT_EQ(Run(297), noResult);
  EXPECT_EQ(Run(325), QStringList{QStringLiteral("Please start the recovery process of BKF file to save the log file.")});
  EXPECT_EQ(Run(294), noResult);
  EXPECT_EQ(Run(293), none);
  EXPECT_EQ(Run(322), none);  // Stop is disabled
}

TEST_F(MainFrameTest, SaveAndSearchNeedAScannerAndTreeItems) {
  const QStringList noResult{QStringLiteral("Please select BKF file to recover data.")};
  // Tree items without a scanner.
  AddTreeItem(QStringLiteral("SET 1"), false);
  EXPECT_EQ(Run(298), noResult);
  EXPECT_EQ(Run(297), noResult);
  EXPECT_EQ(Run(294), QStringList());  // the snapshot needs only tree items
  // A scanner without tree items.
  frame->FileView()->DeleteAllItems();
  GiveScanner();
  EXPECT_EQ(Run(298), noResult);
  EXPECT_EQ(Run(297), noResult);
  // Both, nothing checked.
  AddTreeItem(QStringLiteral("SET 1"), false);
  EXPECT_EQ(Run(298), QStringList{QStringLiteral("Please select file(s) to save.")});
  // Something checked.
  AddTreeItem(QStringLiteral("SET 2"), true);
  EXPECT_EQ(Run(298), QStringList());
  // Search brings the log tab to the front and clears the preview.
  frame->OutputWnd()->ShowFileViewerTab();
  frame->OutputWnd()->FileViewer()->SetChildView(new QWidget);
  EXPECT_EQ(Run(297), QStringList());
  EXPECT_EQ(frame->OutputWnd()->Tabs()->currentIndex(), 0);
  EXPECT_EQ(frame->OutputWnd()->FileViewer()->ChildView(), nullptr);
  // ClearScanResult empties the tree and frees the scanner.
  frame->ClearScanResult();
  EXPECT_TRUE(frame->FileView()->IsEmpty());
  EXPECT_EQ(frame->Scanner(), nullptr);
}

TEST_F(MainFrameTest, StopHelpAndAboutWorkWhileBusy) {
  SetBusy(true);
  frame->UpdateCommandUi();
  prompt().answers = {MsgResult::No};
  EXPECT_EQ(Run(322), QStringList{QStringLiteral("Do you want to stop recovering file(s)?")});
  EXPECT_EQ(prompt().shown[0].icon, MsgIcon::Question);
  EXPECT_EQ(prompt().shown[0].buttons, MsgButtons::YesNo);
  EXPECT_EQ(AppState().m_bProcessRunning.load(), 1);
  prompt().Clear();
  prompt().answers = {MsgResult::Yes};
  frame->OnCommand(322);
  EXPECT_EQ(AppState().m_bProcessRunning.load(), 0);

  SetBusy(true);
  EXPECT_EQ(Run(295), QStringList());
  EXPECT_EQ(Run(311), QStringList());
  ASSERT_EQ(OpenedUrls().size(), 2);
  EXPECT_EQ(OpenedUrls()[0], ProductPageUrl());
  EXPECT_EQ(OpenedUrls()[1], ProductPageUrl());
  EXPECT_EQ(Run(296), QStringList());
  EXPECT_EQ(prompt().dialogsRun, QStringList{QStringLiteral("CTarvelAboutDlg")});
}

TEST_F(MainFrameTest, HelpOpensTheShippedUserGuide) {
  const QUrl url = ProductPageUrl();
  ASSERT_TRUE(url.isLocalFile());
  QFile guide(url.toLocalFile());
  ASSERT_TRUE(guide.open(QIODevice::ReadOnly));
  const QByteArray html = guide.readAll();
  EXPECT_TRUE(html.contains("<html"));
  EXPECT_TRUE(html.contains("Corvane Quillon Repair v22.0"));
  // The status-bar link opens it too.
  emit frame->StatusBar()->Link()->linkActivated(url.toString());
  ASSERT_EQ(OpenedUrls().size(), 1);
  EXPECT_EQ(OpenedUrls()[0], url);
}

TEST_F(MainFrameTest, StopIsEnabledExactlyWhileAProcessRuns) {
  QAction* stop = frame->RibbonBar()->Command(322);
  EXPECT_FALSE(stop->isEnabled());
  for (int id : {283, 298, 297, 325, 293, 294, 295, 296}) EXPECT_TRUE(frame->RibbonBar()->Command(id)->isEnabled());
  // The window notices the flag by itself ...
  SetBusy(true);
  EXPECT_TRUE(QTest::qWaitFor([&] { return stop->isEnabled(); }, 2000));
  for (int id : {283, 298, 297, 325, 293, 294, 295, 296}) EXPECT_TRUE(frame->RibbonBar()->Command(id)->isEnabled());
  SetBusy(false);
  EXPECT_TRUE(QTest::qWaitFor([&] { return !stop->isEnabled(); }, 2000));
  // ... and at once on the process-state message.
  SetBusy(true);
  frame->SendMessage(UM_PROCESS_STATE, 1, 0);
  EXPECT_TRUE(stop->isEnabled());
  SetBusy(false);
  frame->SendMessage(UM_PROCESS_STATE, 0, 0);
  EXPECT_FALSE(stop->isEnabled());
}

TEST_F(MainFrameTest, TreeAndPreviewMessagesWaitWhileBusy) {
  const QString wait = QStringLiteral("Please wait for the running process.");
  SetBusy(true);
  for (uint32_t message : {UM_TREE_SELECT, UM_TREE_CONTEXT, UM_TREE_EXPAND, UM_TREE_RENAME, UM_SHOW_PREVIEW}) {
    prompt().Clear();
    EXPECT_EQ(frame->WindowProc(message, 0, 0), 0) << message;
    EXPECT_EQ(prompt().Texts(), QStringList{wait}) << message;
  }
  prompt().Clear();
  EXPECT_EQ(frame->WindowProc(UM_TREE_CHECK, 0, 1), 0);
  EXPECT_TRUE(prompt().shown.empty());
  SetBusy(false);
  for (uint32_t message : {UM_TREE_SELECT, UM_TREE_CONTEXT, UM_TREE_EXPAND, UM_TREE_RENAME, UM_TREE_CHECK,
                           UM_SHOW_PREVIEW})
    frame->WindowProc(message, 0, 0);
  EXPECT_TRUE(prompt().shown.empty());
}

TEST_F(MainFrameTest, WorkersReachTheWindowThroughTheBridge) {
  SetBusy(true);
  std::atomic<bool> done{false};
  intptr_t sendResult = -1;
  MsgResult boxResult = MsgResult::Cancel;
  prompt().answers = {MsgResult::Ok, MsgResult::Yes};
  std::thread worker([&] {
    // A blocking send: handled on the user-interface thread, result returned.
    sendResult = frame->SendMessage(UM_TREE_SELECT, 0, 0);
    // A message box owned by the window, answered there.
    boxResult = frame->MessageBox(u"Scanning for BKF file completed.", ProductCaption(), MsgButtons::YesNo,
                                  MsgIcon::Question);
    // Posts return at once; progress records belong to the receiver.
    frame->PostMessage(UM_SCAN_PROGRESS, reinterpret_cast<uintptr_t>(new ScanProgress{}), 0);
    frame->PostMessage(UM_PROCESS_STATE, 0, 0);
    done = true;
  });
  EXPECT_TRUE(QTest::qWaitFor([&] { return done.load(); }, 5000));
  worker.join();
  EXPECT_EQ(sendResult, 0);
  EXPECT_EQ(boxResult, MsgResult::Yes);
  ASSERT_EQ(prompt().shown.size(), 2u);
  for (const ScriptedPrompt::Shown& s : prompt().shown) {
    EXPECT_EQ(s.thread, qApp->thread());
    EXPECT_TRUE(s.hadOwner);
  }
  EXPECT_EQ(prompt().shown[1].caption, kCaption);

  // A post from the user-interface thread itself is handled later, not at once.
  prompt().Clear();
  frame->PostMessage(UM_TREE_EXPAND, 0, 0);
  EXPECT_TRUE(prompt().shown.empty());
  QCoreApplication::processEvents();
  EXPECT_EQ(prompt().Texts(), QStringList{QStringLiteral("Please wait for the running process.")});
}

// The preview folder with a file and a sub-folder in it.
std::filesystem::path FillPreviewFolder() {
  const std::filesystem::path folder = GetPreviewFolder();
  std::filesystem::create_directories(folder / "sub");
  std::ofstream(folder / "photo.jpg") << "x";
  std::ofstream(folder / "sub" / "bkTmp.htm") << "y";
  return folder;
}

TEST_F(MainFrameTest, ClosingIsRefusedWhileBusy) {
  SetBusy(true);
  EXPECT_FALSE(frame->close());
  EXPECT_EQ(prompt().Texts(), QStringList{QStringLiteral("Please stop the running process to close the application.")});
  EXPECT_TRUE(ExitCalls().isEmpty());
  EXPECT_TRUE(frame->isVisible());
}

TEST_F(MainFrameTest, AnsweringNoToTheCloseQuestionKeepsEverything) {
  GiveScanner();
  const auto folder = FillPreviewFolder();
  prompt().answers = {MsgResult::No};
  EXPECT_FALSE(frame->close());
  ASSERT_EQ(prompt().shown.size(), 1u);
  EXPECT_EQ(prompt().shown[0].text, QStringLiteral("Are you sure to close the application?"));
  EXPECT_EQ(prompt().shown[0].buttons, MsgButtons::YesNo);
  EXPECT_EQ(prompt().shown[0].icon, MsgIcon::Information);
  EXPECT_EQ(prompt().shown[0].caption, kCaption);
  EXPECT_TRUE(ExitCalls().isEmpty());
  EXPECT_TRUE(std::filesystem::exists(folder / "photo.jpg"));
  EXPECT_NE(frame->Scanner(), nullptr);
  EXPECT_TRUE(frame->isVisible());
}

TEST_F(MainFrameTest, AnsweringYesFreesTheResultRemovesThePreviewFolderAndExits) {
  GiveScanner();
  const auto folder = FillPreviewFolder();
  prompt().answers = {MsgResult::Yes};
  frame->close();
  EXPECT_EQ(ExitCalls(), QList<int>{-1});
  EXPECT_FALSE(std::filesystem::exists(folder));
  EXPECT_EQ(frame->Scanner(), nullptr);
}

TEST_F(MainFrameTest, CreationDeletesAnOldPreviewFolder) {
  const auto folder = FillPreviewFolder();
  CMainFrame another(AppState(), *settings);
  EXPECT_TRUE(std::filesystem::exists(folder));
  ASSERT_TRUE(another.Create());
  EXPECT_FALSE(std::filesystem::exists(folder));
}

TEST(PreviewFolder, DeletingNeverFollowsLinks) {
  ResetRecorders();
  namespace fs = std::filesystem;
  const fs::path outside = PrivateRoot() / "outside";
  fs::create_directories(outside);
  std::ofstream(outside / "keep.txt") << "keep";
  const fs::path folder = GetPreviewFolder();
  EXPECT_EQ(folder, PrivateRoot() / "tmp" / "BKFTmpQuillonv4");
  fs::create_directories(folder);
  fs::create_directory_symlink(outside, folder / "link");
  DeletePreviewFolder();
  EXPECT_FALSE(fs::exists(fs::symlink_status(folder)));
  EXPECT_TRUE(fs::exists(outside / "keep.txt"));
  // A link in place of the folder itself is removed as a link.
  fs::create_directory_symlink(outside, folder);
  DeletePreviewFolder();
  EXPECT_FALSE(fs::exists(fs::symlink_status(folder)));
  EXPECT_TRUE(fs::exists(outside / "keep.txt"));
  DeletePreviewFolder();  // nothing there: no error
}

TEST(AboutDialog, OnlyOkClosesIt) {
  ResetRecorders();
  CTarvelAboutDlg dialog;
  dialog.show();
  EXPECT_EQ(dialog.windowTitle(), kCaption);
  EXPECT_EQ(dialog.CaptionLabel()->text(), kCaption);
  EXPECT_EQ(dialog.CaptionLabel()->font().pixelSize(), 15);
  EXPECT_GE(dialog.CaptionLabel()->font().weight(), QFont::DemiBold);
  EXPECT_EQ(dialog.WebsiteLink()->toolTip(), QStringLiteral("Company website"));
  EXPECT_EQ(dialog.SupportLink()->toolTip(), QStringLiteral("Support email address"));
  EXPECT_EQ(dialog.SalesLink()->toolTip(), QStringLiteral("Sales email address"));
  EXPECT_TRUE(dialog.SupportLink()->property("url").toString().startsWith(QStringLiteral("mailto:")));

  QTest::keyClick(&dialog, Qt::Key_Escape);
  QTest::keyClick(&dialog, Qt::Key_Return);
  QTest::keyClick(&dialog, Qt::Key_Enter);
  dialog.close();
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_NE(dialog.result(), QDialog::Accepted);

  emit dialog.SupportLink()->linkActivated(dialog.SupportLink()->property("url").toString());
  ASSERT_EQ(OpenedUrls().size(), 1);
  EXPECT_EQ(OpenedUrls()[0].scheme(), QStringLiteral("mailto"));

  dialog.OkButton()->click();
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

TEST(AboutDialog, DraggingTheSurfaceMovesIt) {
  CTarvelAboutDlg dialog;
  dialog.move(100, 100);
  dialog.show();
  const QPoint before = dialog.pos();
  QTest::mousePress(&dialog, Qt::LeftButton, {}, QPoint(10, 10));
  QMouseEvent move(QEvent::MouseMove, QPointF(40, 30), dialog.mapToGlobal(QPointF(40, 30)), Qt::NoButton,
                   Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(&dialog, &move);
  QTest::mouseRelease(&dialog, Qt::LeftButton, {}, QPoint(40, 30));
  EXPECT_EQ(dialog.pos() - before, QPoint(30, 20));
}

}  // namespace
