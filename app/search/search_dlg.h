#pragma once
// The "Search file(s)" window (class CTarvelDlgSearchBkfFiles): finds the
// recovered files of the current scan result whose names match a wildcard
// pattern, lists them with their folder path, type and size, removes rows from
// the list and saves the listed files through the save job it hosts. Modal;
// opened by the main window's Search command.

#include <QDialog>
#include <QPixmap>
#include <atomic>
#include <cstdint>
#include <vector>

#include "app_state.h"
#include "notify.h"
#include "save_job.h"
#include "segmented_reader.h"
#include "system/notify_bridge.h"
#include "system/progress_gate.h"
#include "system/worker_thread.h"

class CMainFrame;
class CTarvelListCtrl;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QToolButton;
class SaveJobLog;

inline constexpr char kSearchWindowTitle[] = "Search file(s)";
inline constexpr char kSearchEmptyPatternText[] = "Enter text pattern to search files.";
inline constexpr char kSearchNothingSelectedText[] = "No file(s) selected to remove.";
inline constexpr char kSearchListEmptiedText[] = "No file(s) is present in the list to remove.";
inline constexpr char kSearchStopQuestionText[] = "Are you sure to stop the running process?";
inline constexpr char kSearchBusyCloseText[] = "Please stop the running process to close the application.";

// Control ids of the window.
inline constexpr int IDC_SEARCH_OK = 1;
inline constexpr int IDC_SEARCH_DESTINATION = 1000;
inline constexpr int IDC_SEARCH_HIERARCHY = 1002;
inline constexpr int IDC_SEARCH_STOP = 1007;
inline constexpr int IDC_SEARCH_PATTERN = 1029;
inline constexpr int IDC_SEARCH_START = 1030;
inline constexpr int IDC_SEARCH_LIST = 1031;
inline constexpr int IDC_SEARCH_COUNT = 1032;
inline constexpr int IDC_SEARCH_TOTAL_LABEL = 1036;
inline constexpr int IDC_SEARCH_PROGRESS = 1037;
inline constexpr int IDC_SEARCH_SAVE_RESULTS = 1043;
inline constexpr int IDC_SEARCH_SAVE = 1045;
inline constexpr int IDC_SEARCH_REMOVE = 1046;
inline constexpr int IDC_SEARCH_GROUP = 1047;
inline constexpr int IDC_SEARCH_PROMPT_LABEL = 1048;
inline constexpr int IDC_SEARCH_BUSY = 1050;
inline constexpr int IDC_SEARCH_FOUND_COUNT = 1051;
inline constexpr int IDC_SEARCH_FOUND_LABEL = 1052;

class CTarvelDlgSearchBkfFiles : public QDialog, public INotifyTarget {
  Q_OBJECT
 public:
  CTarvelDlgSearchBkfFiles(CMainFrame& frame, ApplicationState& state, QWidget* parent = nullptr);
  ~CTarvelDlgSearchBkfFiles() override;

  // The Search button: hides the result count and starts RunSearch on a
  // new worker thread.
  void OnSearch();
  // The worker: reads and trims the pattern, lists every matching record,
  // drives the progress and ends in the idle layout with the total count.
  void RunSearch();
  // The Remove button.
  void RemoveRows();
  // The Stop button: asks, then drops the running flag.
  void OnStop();
  // The Save button: the save job with this window as host.
  void OnSaveFiles() { StartSaveJob(); }
  // Checks the list and the destination, then runs the save job over the
  // rows on the worker thread (search_save.cpp).
  void StartSaveJob();
  void RunSaveJob(const std::vector<quillon::SaveEntry>& entries, const quillon::SaveJobSettings& settings);

  // INotifyTarget: UM_SEARCH_ITEM_CLICKED from the list (0 while a process
  // runs, else 1), and message boxes owned by this window from any thread.
  intptr_t SendMessage(uint32_t message, uintptr_t wParam, intptr_t lParam) override;
  void PostMessage(uint32_t message, uintptr_t wParam, intptr_t lParam) override;
  MsgResult MessageBox(const std::u16string& text, const std::u16string& caption, MsgButtons buttons,
                       MsgIcon icon) override;

  // Waits until a running search worker has ended (handles its calls meanwhile).
  void WaitForWorker() { m_worker.Wait(); }
  bool WorkerRunning() const { return m_worker.Running(); }

  // The controls, for the save job and the tests.
  CMainFrame& Frame() const { return m_frame; }
  int64_t FoundCount() const { return m_nFoundCount; }
  QLineEdit* PatternEdit() const { return m_editPattern; }
  QPushButton* SearchButton() const { return m_btnSearch; }
  QLineEdit* DestinationEdit() const { return m_editDestination; }
  QToolButton* BrowseButton() const { return m_btnBrowse; }
  QPushButton* SaveButton() const { return m_btnSave; }
  QPushButton* RemoveButton() const { return m_btnRemove; }
  QCheckBox* HierarchyCheck() const { return m_chkHierarchy; }
  QCheckBox* SaveResultsCheck() const { return m_chkSaveResults; }
  QGroupBox* Group() const { return m_group; }
  CTarvelListCtrl* ResultList() const { return m_list; }
  QProgressBar* Progress() const { return m_progress; }
  QLabel* TotalLabel() const { return m_lblTotal; }
  QLabel* CountLabel() const { return m_lblCount; }
  QLabel* BusyLabel() const { return m_lblBusy; }
  QLabel* FoundLabel() const { return m_lblFound; }
  QLabel* FoundCountLabel() const { return m_lblFoundCount; }
  QPushButton* StopButton() const { return m_btnStop; }
  QPushButton* OkButton() const { return m_btnOk; }
  // The running layout (inputs disabled, OK hidden, Stop, progress and busy
  // text shown) or the idle one.
  void SetRunningLayout(bool running);
  // Rows added to the list per batch handed to the user-interface thread
  // (for measurements).
  uint64_t BatchesHandled() const { return m_nBatches; }

 public slots:
  void accept() override;
  void reject() override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void BuildControls();
  void BrowseDestination();
  bool IsBusy() const { return m_state.m_bProcessRunning.load() == 1; }
  // Refuses to close while a process runs.
  bool MayClose();
  intptr_t OnItemClicked(uintptr_t wParam, intptr_t lParam);

  CMainFrame& m_frame;
  ApplicationState& m_state;
  NotifyBridge m_bridge;
  int64_t m_nFoundCount = 0;
  QPixmap m_background;
  ProgressGate m_gate;
  std::atomic<uint64_t> m_nBatches{0};
  // The save job's reader over the parts of a split backup, and its lines
  // and progress on their way to the windows.
  SegmentedReader m_reader;
  SaveJobLog* m_saveLog = nullptr;

  QLabel* m_lblPrompt = nullptr;
  QLineEdit* m_editPattern = nullptr;
  QPushButton* m_btnSearch = nullptr;
  QGroupBox* m_group = nullptr;
  QLineEdit* m_editDestination = nullptr;
  QToolButton* m_btnBrowse = nullptr;
  QPushButton* m_btnSave = nullptr;
  QPushButton* m_btnRemove = nullptr;
  QCheckBox* m_chkHierarchy = nullptr;
  QCheckBox* m_chkSaveResults = nullptr;
  CTarvelListCtrl* m_list = nullptr;
  QProgressBar* m_progress = nullptr;
  QLabel* m_lblTotal = nullptr;
  QLabel* m_lblCount = nullptr;
  QLabel* m_lblBusy = nullptr;
  QLabel* m_lblFound = nullptr;
  QLabel* m_lblFoundCount = nullptr;
  QPushButton* m_btnStop = nullptr;
  QPushButton* m_btnOk = nullptr;
  // Declared last: the worker is waited for before the controls it drives go.
  WorkerThread m_worker;
};
