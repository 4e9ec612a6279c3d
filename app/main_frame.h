#pragma once
// The main window: the ribbon, the status bar, the "BKF File" pane on the
// left, the file list in the centre and the "BKF File Status" pane at the
// bottom. It owns the scanner of the current result, dispatches the commands
// and the private window messages, refuses commands while a long operation
// runs, and handles closing.

#include <QMainWindow>
#include <QTimer>
#include <memory>

#include "app_state.h"
#include "notify.h"
#include "notify_bridge.h"

class AppSettings;
class CFileView;
class CHalvernView;
class CMyRibbonStatusBar;
class COutputWnd;
class CTarvelMFCRibboBarCls;
class QDockWidget;
class bkf;

// The refusal texts of the commands.
inline constexpr char kBusyOpenText[] = "Please stop the running process to open the BKF file.";
inline constexpr char kBusySaveText[] = "Please stop the running process to save the recovered files.";
inline constexpr char kBusySearchText[] = "Please stop the running process to search the files.";
inline constexpr char kBusyLoadSnapshotText[] = "Please stop the running process to load recovery snapshot.";
inline constexpr char kBusySaveSnapshotText[] = "Please stop the running process to save recovery snapshot.";
inline constexpr char kBusyCloseText[] = "Please stop the running process to close the application.";
inline constexpr char kWaitText[] = "Please wait for the running process.";
inline constexpr char kNoResultText[] = "Please select BKF file to recover data.";
inline constexpr char kNothingCheckedText[] = "Please select file(s) to save.";
inline constexpr char kInvalidBkfText[] = "Please select valid BKF file to recover.";
inline constexpr char kNoRecoveryModeText[] = "Please select recovery mode and scanning option to recover bkf file.";
inline constexpr char kStopQuestionText[] = "Do you want to stop recovering file(s)?";
inline constexpr char kCloseQuestionText[] = "Are you sure to close the application?";
inline constexpr char kFileViewCaption[] = "BKF File";
inline constexpr char kOutputCaption[] = "BKF File Status";

class CMainFrame : public QMainWindow, public INotifyTarget {
  Q_OBJECT
 public:
  CMainFrame(ApplicationState& state, AppSettings& settings);
  ~CMainFrame() override;

  // Builds the window: splash, look, ribbon, status bar, panes; deletes the
  // preview folder. False when a part cannot be made.
  bool Create();

  // INotifyTarget: the window messages of the workers and their message boxes,
  // carried to the user-interface thread.
  intptr_t SendMessage(uint32_t message, uintptr_t wParam, intptr_t lParam) override;
  void PostMessage(uint32_t message, uintptr_t wParam, intptr_t lParam) override;
  MsgResult MessageBox(const std::u16string& text, const std::u16string& caption, MsgButtons buttons,
                       MsgIcon icon) override;

  // Handles a private window message on the user-interface thread.
  intptr_t WindowProc(uint32_t message, uintptr_t wParam, intptr_t lParam);

  // Runs a command by id (ribbon, status-bar link, look group).
  void OnCommand(int id);
  // Refreshes the enabled state of the commands (Stop only while busy).
  void UpdateCommandUi();
  // Applies a visual look id and stores it.
  void OnApplicationLook(uint32_t id);
  // The look item that carries the radio mark.
  bool IsApplicationLookChecked(uint32_t id) const;

  // The commands.
  void OnFileOpen();
  void OnStop();
  void OnSaveRecovered();
  void OnSearch();
  void OnSaveLog();
  void OnLoadSnapshot();
  void OnSaveSnapshot();
  void OnHelp();
  void OnAbout();

  // Empties the file list and the folder tree and destroys the scanner.
  void ClearScanResult();

  bkf* Scanner() const { return m_pScanner.get(); }
  void SetScanner(std::unique_ptr<bkf> scanner);

  CTarvelMFCRibboBarCls* RibbonBar() const { return m_wndRibbonBar; }
  CMyRibbonStatusBar* StatusBar() const { return m_wndStatusBar; }
  CFileView* FileView() const { return m_wndFileView; }
  COutputWnd* OutputWnd() const { return m_wndOutput; }
  CHalvernView* View() const { return m_pView; }
  QDockWidget* FileViewPane() const { return m_paneFileView; }
  QDockWidget* OutputPane() const { return m_paneOutput; }
  NotifyBridge& Bridge() { return m_bridge; }

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  bool IsBusy() const { return m_state.m_bProcessRunning.load() == 1; }
  // Shows text and answers true while a process runs.
  bool RefuseWhileBusy(const char* text);
  // True when there is a scan result with items in the tree; otherwise says so.
  bool RequireScanResult();
  bool CreateRibbon();
  bool CreateStatusBar();
  bool CreateDockingWindows();
  QDockWidget* CreatePane(const char* caption, const QString& name, int id, QWidget* content);
  void ShowPaneMenu(const QPoint& at);

  // Handlers of the window messages.
  intptr_t OnTreeMessage(uint32_t message, uintptr_t wParam, intptr_t lParam);
  intptr_t OnShowPreview(uintptr_t wParam, intptr_t lParam);
  intptr_t OnProcessState(uintptr_t wParam, intptr_t lParam);
  intptr_t OnScanProgress(uintptr_t wParam, intptr_t lParam);
  intptr_t OnScanFinished(uintptr_t wParam, intptr_t lParam);

  ApplicationState& m_state;
  AppSettings& m_settings;
  NotifyBridge m_bridge;
  CTarvelMFCRibboBarCls* m_wndRibbonBar = nullptr;
  CMyRibbonStatusBar* m_wndStatusBar = nullptr;
  CFileView* m_wndFileView = nullptr;
  COutputWnd* m_wndOutput = nullptr;
  CHalvernView* m_pView = nullptr;
  QDockWidget* m_paneFileView = nullptr;
  QDockWidget* m_paneOutput = nullptr;
  std::unique_ptr<bkf> m_pScanner;
  QTimer m_commandUiTimer;
};
