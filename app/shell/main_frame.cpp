#include "shell/main_frame.h"

#include <QAction>
#include <QApplication>
#include <algorithm>
#include <QCloseEvent>
#include <QDockWidget>
#include <QMenu>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>

#include "shell/app_settings.h"
#include "tree/check_tree_ctrl.h"
#include "shell/command_ids.h"
#include "log/log_list_ctrl.h"
#include "tree/folder_tree_pane.h"
#include "list/file_list_view.h"
#include "shell/icon_set.h"
#include "log/output_pane.h"
#include "preview_folder.h"
#include "system/process_exit.h"
#include "dialogs/prompt.h"
#include "shell/ribbon_bar.h"
#include "list/file_list_ctrl.h"
#include "scanner.h"
#include "shell/splash_wnd.h"
#include "shell/status_bar.h"
#include "shell/user_guide.h"
#include "shell/visual_look.h"

namespace {
constexpr int kFileViewWidth = 200;
constexpr int kOutputHeight = 100;
// The bottom pane starts tall enough for the log of a whole scan run (about
// a dozen lines); 100 pixels alone leave room for three.
constexpr int kOutputLogRows = 12;
constexpr int kCommandUiInterval = 200;
}  // namespace

CMainFrame::CMainFrame(ApplicationState& state, AppSettings& settings)
    : m_state(state),
      m_settings(settings),
      m_bridge([this](uint32_t message, uintptr_t wParam, intptr_t lParam) {
        return WindowProc(message, wParam, lParam);
      }) {
  setObjectName(QStringLiteral("mainFrame"));
  m_state.m_nLookId = m_settings.ReadLook(ID_VIEW_APPLOOK_BLACK);
  m_state.m_bProcessRunning.store(0);
}

CMainFrame::~CMainFrame() {
  // A scan still running is stopped and waited for: it uses this window.
  if (m_scanThread.Running()) {
    m_state.m_bProcessRunning.store(0);
    m_scanThread.Wait();
  }
  // The panes outlive the members they refer to: the image list and this
  // window as their message target.
  if (CCheckTreeCtrl* tree = TreeCtrl()) {
    tree->SetNotifyTarget(nullptr);
    tree->SetImageList(nullptr);
  }
  if (CTarvelRightViewListCtrl* list = ListCtrl()) {
    list->SetNotifyTarget(nullptr);
    list->SetImageList(nullptr);
  }
}

bool CMainFrame::Create() {
  setWindowTitle(ProductCaptionText());
  setWindowIcon(icons::AppIcon());

  CSplashWnd::ShowSplashScreen(this);
  OnApplicationLook(ID_VIEW_APPLOOK_BLACK);

  if (!CreateRibbon() || !CreateStatusBar()) return false;
  setDockOptions(QMainWindow::AnimatedDocks | QMainWindow::AllowNestedDocks | QMainWindow::AllowTabbedDocks);
  m_pView = new CHalvernView(this);
  setCentralWidget(m_pView);
  if (!CreateDockingWindows()) return false;
  ConnectTree();

  DeletePreviewFolder();

  // Ctrl+Q closes through the same question as the close box.
  auto* quit = new QAction(this);
  quit->setObjectName(QStringLiteral("quitShortcut"));
  quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
  quit->setShortcutContext(Qt::WindowShortcut);
  connect(quit, &QAction::triggered, this, &QWidget::close);
  addAction(quit);

  connect(&m_commandUiTimer, &QTimer::timeout, this, &CMainFrame::UpdateCommandUi);
  m_commandUiTimer.start(kCommandUiInterval);
  UpdateCommandUi();
  return true;
}

bool CMainFrame::CreateRibbon() {
  m_wndRibbonBar = new CTarvelMFCRibboBarCls(this);
  m_wndRibbonBar->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(m_wndRibbonBar, &CTarvelMFCRibboBarCls::commandTriggered, this, &CMainFrame::OnCommand);
  connect(m_wndRibbonBar, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& at) { ShowPaneMenu(m_wndRibbonBar->mapToGlobal(at)); });
  setMenuWidget(m_wndRibbonBar);
  return true;
}

bool CMainFrame::CreateStatusBar() {
  m_wndStatusBar = new CMyRibbonStatusBar(this);
  m_wndStatusBar->SetLinkAddress(ProductPageUrl());
  connect(m_wndStatusBar, &CMyRibbonStatusBar::linkClicked, this, &CMainFrame::OnCommand);
  setStatusBar(m_wndStatusBar);
  return true;
}

QDockWidget* CMainFrame::CreatePane(const char* caption, const QString& name, int id, QWidget* content) {
  auto* pane = new QDockWidget(QString::fromLatin1(caption), this);
  pane->setObjectName(name);
  pane->setProperty("controlId", id);
  pane->setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable |
                    QDockWidget::DockWidgetFloatable);
  pane->setAllowedAreas(Qt::AllDockWidgetAreas);
  pane->setWidget(content);
  return pane;
}

bool CMainFrame::CreateDockingWindows() {
  m_wndFileView = new CFileView(this);
  m_paneFileView = CreatePane(kFileViewCaption, QStringLiteral("paneFileView"), ID_VIEW_FILEVIEW, m_wndFileView);
  m_wndOutput = new COutputWnd(this);
  m_paneOutput = CreatePane(kOutputCaption, QStringLiteral("paneOutput"), ID_VIEW_OUTPUTWND, m_wndOutput);

  // The tree pane runs the full height on the left; the bottom pane lies
  // under the file list.
  setCorner(Qt::BottomLeftCorner, Qt::LeftDockWidgetArea);
  setCorner(Qt::TopLeftCorner, Qt::LeftDockWidgetArea);
  addDockWidget(Qt::LeftDockWidgetArea, m_paneFileView);
  addDockWidget(Qt::BottomDockWidgetArea, m_paneOutput);
  resizeDocks({m_paneFileView}, {kFileViewWidth}, Qt::Horizontal);
  // The rows, with the pane's caption, the tab bar and the scroll bar.
  const int rows = kOutputLogRows * (m_wndOutput->LogList()->fontMetrics().height() + 2);
  const int chrome = 2 * fontMetrics().height() + m_wndOutput->Tabs()->tabBar()->sizeHint().height() +
                     style()->pixelMetric(QStyle::PM_ScrollBarExtent);
  resizeDocks({m_paneOutput}, {std::max(kOutputHeight, rows + chrome)}, Qt::Vertical);
  return true;
}

void CMainFrame::ShowPaneMenu(const QPoint& at) {
  std::unique_ptr<QMenu> menu(createPopupMenu());
  if (menu) menu->exec(at);
}

void CMainFrame::UpdateCommandUi() {
  if (!m_wndRibbonBar) return;
  if (QAction* stop = m_wndRibbonBar->Command(ID_STOP_PROCESS)) stop->setEnabled(m_state.m_bProcessRunning.load() != 0);
}

void CMainFrame::OnApplicationLook(uint32_t id) {
  m_state.m_nLookId = id;
  // The ribbon always uses its black style; look 216 adds the dark scheme.
  if (id == ID_VIEW_APPLOOK_BLACK) visual_look::ApplyDarkScheme(*qApp);
  update();
  m_settings.WriteLook(id);
}

bool CMainFrame::IsApplicationLookChecked(uint32_t id) const { return m_state.m_nLookId == id; }

void CMainFrame::SetScanner(std::unique_ptr<bkf> scanner) { m_pScanner = std::move(scanner); }

void CMainFrame::ClearScanResult() {
  if (m_pView) m_pView->DeleteAllItems();
  if (m_wndFileView) m_wndFileView->DeleteAllItems();
  m_pCurrentFolderItem = nullptr;
  m_pScanner.reset();
}

void CMainFrame::closeEvent(QCloseEvent* event) {
  // The window never closes by itself: it either stays or the process ends.
  event->ignore();
  if (IsBusy()) {
    ShowMessage(this, QString::fromLatin1(kBusyCloseText));
    return;
  }
  if (ShowMessage(this, QString::fromLatin1(kCloseQuestionText), MsgIcon::Information, MsgButtons::YesNo) !=
      MsgResult::Yes)
    return;
  // After Stop the worker may still be finishing with the scanner.
  m_scanThread.Wait();
  m_pScanner.reset();
  DeletePreviewFolder();
  ExitProcessNow(-1);
}
