#pragma once
// The main window: the ribbon, the status bar, the "BKF File" pane on the
// left, the file list in the centre and the "BKF File Status" pane at the
// bottom. It owns the scanner of the current result, dispatches the commands
// and the private window messages, refuses commands while a long operation
// runs, and handles closing.

#include <QMainWindow>
#include <QTimer>
#include <atomic>
#include <functional>
#include <memory>
#include <vector>

#include "app_state.h"
#include "tree/checked_files.h"
#include "notify.h"
#include "system/window_messages.h"
#include "system/notify_bridge.h"
#include "system/progress_gate.h"
#include "list/shell_file_info.h"
#include "shell/status_bar.h"
#include "system/worker_thread.h"

class AppSettings;
class CCheckTreeCtrl;
class CFileView;
class CHalvernView;
class CMyRibbonStatusBar;
class COutputWnd;
class CTarvelMFCRibboBarCls;
class CTarvelRightViewListCtrl;
class QDockWidget;
class QTreeWidgetItem;
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
inline constexpr char kScanCompletedText[] = "Scanning for BKF file completed. Expand tree to see recover files.";
inline constexpr char kScanAbortedText[] = "Scanning for BKF file process aborted.";
inline constexpr char kScanErrorText[] = "Unknown Error Occurred, Error Code: ADBRECTD";
inline constexpr char kTreeMenuName[] = "Tree Click";
inline constexpr char kCollapseAllLabel[] = "Collapse All";
inline constexpr char kRenameLabel[] = "Rename";
inline constexpr char kFileViewCaption[] = "BKF File";
inline constexpr char kHelpNotOpenedText[] =
    "The user guide could not be opened: no web browser was found. Open this file in a web browser:\n";
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
  // carried to the user-interface thread. A progress message sent less than
  // the gate's interval after the previous one was handled is dropped (its
  // record freed) without crossing.
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

  // Enter or a double click on a row of the file list: a "Folder" row opens
  // that folder in the tree (selected, its content listed), as a file manager does.
  void OnListRowOpened(int row);

  // Empties the file list and the folder tree and destroys the scanner.
  void ClearScanResult();

  bkf* Scanner() const { return m_pScanner.get(); }
  void SetScanner(std::unique_ptr<bkf> scanner);

  // The scan run (main_frame_scan.cpp).
  //
  // Thread entry of the scan worker: runs ScanWorker, returns 1.
  static unsigned ScanThreadProc(CMainFrame* frame);
  // The scan on the worker thread: 1 when it completed or was stopped, 0
  // when it was aborted or failed.
  int ScanWorker();
  // A stopped scan clears the running flag before its worker has ended;
  // whatever replaces or frees the scan result waits for the worker first.
  void WaitForScanWorker() { m_scanThread.Wait(); }
  bool ScanWorkerRunning() const { return m_scanThread.Running(); }
  // Makes the scanner of a recovery mode (2 = Advanced); the default makes
  // bkfAdvance or bkf. Tests put their own in.
  using ScannerFactory = std::function<std::unique_ptr<bkf>(ApplicationState& state, int32_t recoveryMode)>;
  void SetScannerFactory(ScannerFactory factory);
  // The status-bar elements of the running process (none when idle).
  const ProcessElements& ProcessStatusElements() const { return m_processElements; }
  // Progress messages handled since the window was made (for measurements).
  uint64_t ProgressMessagesHandled() const { return m_nProgressHandled; }

  // The folder tree and the file list (from main_frame_tree.cpp).
  //
  // The first level of the tree after a scan or a snapshot load: for each
  // child of the root, newest first, a top-level item with the node's name
  // and image 0, a placeholder child, the node marked as shown and attached,
  // the item checked. May be called from a worker thread: it runs on the
  // user-interface thread and returns when done.
  void FillFirstTreeLevel();
  // Gives the tree and the list the shared small image list.
  void AttachImageLists();
  // The files the checked tree hands to saving (see checked_files.h); none
  // without a scan result.
  std::vector<CheckedFile> GetCheckedFiles();

  // Handlers of the tree's messages; 1 when handled, 0 when refused.
  intptr_t OnTreeSelect(uintptr_t wParam, intptr_t lParam);
  intptr_t OnTreeExpand(uintptr_t wParam, intptr_t lParam);
  intptr_t OnTreeCheck(uintptr_t wParam, intptr_t lParam);
  intptr_t OnTreeContext(uintptr_t wParam, intptr_t lParam);
  intptr_t OnTreeRename(uintptr_t wParam, intptr_t lParam);
  // Shows an item's content in the file list, populating the item first
  // when it was not populated yet.
  void FillFileList(QTreeWidgetItem* item);
  // The first child of parent whose label equals text exactly, or none.
  QTreeWidgetItem* FindChildItem(QTreeWidgetItem* parent, const QString& text) const;
  // The item whose content the file list shows (the last one picked), or none.
  QTreeWidgetItem* CurrentFolderItem() const { return m_pCurrentFolderItem; }
  CCheckTreeCtrl* TreeCtrl() const;
  CTarvelRightViewListCtrl* ListCtrl() const;
  CShellFileInfo& ShellFileInfo() { return m_shellFileInfo; }

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
  // Shows the wait text and answers true while a process runs.
  bool WaitWhileBusy();
  bool Running() const { return m_state.m_bProcessRunning.load() != 0; }

  // Items of the folder tree (main_frame_tree.cpp).
  int64_t NodeOf(const QTreeWidgetItem* item) const;
  int64_t RecordOf(const QTreeWidgetItem* item) const;
  bool IsPlaceholder(const QTreeWidgetItem* item) const;
  bool IsFolderItem(const QTreeWidgetItem* item) const { return NodeOf(item) >= 0; }
  QTreeWidgetItem* AddFolderItem(QTreeWidgetItem* parent, int64_t node, bool first);
  QTreeWidgetItem* AddPlaceholder(QTreeWidgetItem* parent);
  QTreeWidgetItem* AddFileItem(QTreeWidgetItem* parent, int64_t record, int image);
  QString NodeName(int64_t node) const;
  QString RecordName(int64_t record) const;
  // FillFileList's population of a folder (case A), with the list rows.
  void PopulateAndList(QTreeWidgetItem* item, int64_t node, int parentChecked);
  void ConnectTree();

  // Handlers of the window messages.
  intptr_t OnShowPreview(uintptr_t wParam, intptr_t lParam);
  intptr_t OnProcessState(uintptr_t wParam, intptr_t lParam);
  intptr_t OnScanProgress(uintptr_t wParam, intptr_t lParam);
  intptr_t OnScanFinished(uintptr_t wParam, intptr_t lParam);
  // The end of a scan run: the running flag to 0 and UM_PROCESS_STATE 0 posted.
  void EndScanProcess();
  // Log lines added from the worker thread, the last one made visible.
  void AppendLogLinesFromWorker(const QStringList& lines);

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
  CShellFileInfo m_shellFileInfo;
  QTreeWidgetItem* m_pCurrentFolderItem = nullptr;
  QTimer m_commandUiTimer;
  ProcessElements m_processElements;
  ScannerFactory m_scannerFactory;
  uint64_t m_nProgressHandled = 0;
  ProgressGate m_progressGate;
  // Declared last: the worker is waited for before the members it uses go.
  WorkerThread m_scanThread;
};
