#pragma once
// The "Save recovered file(s)" window: the files checked in the folder tree,
// a destination folder, "Save files in folder hierarchy", and the save job
// that writes them there on a worker thread, with its progress, its log
// lines in the main window's log and Stop.

#include <QDialog>
#include <memory>
#include <vector>

#include "save_job.h"
#include "segmented_reader.h"
#include "system/notify_bridge.h"
#include "system/worker_thread.h"
#include "tree/checked_files.h"

class CMainFrame;
class QCheckBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QToolButton;
class QTreeWidget;
class SaveJobLog;

inline constexpr char kSaveWindowTitle[] = "Save recovered file(s)";
inline constexpr char kDestinationGroupText[] = "Select destination path to save files";
inline constexpr char kSaveButtonText[] = "Save file(s)";
inline constexpr char kHierarchyText[] = "Save files in folder hierarchy";
inline constexpr char kTotalSavedText[] = "Total no. of files saved:";
inline constexpr char kSavingBusyText[] = "Please wait while files are saving....";
inline constexpr char kLongNameNotice[] =
    "The filename or extension might be too long. rename root folders in tree or file can be save in the root folder!";
inline constexpr char kStopSaveQuestion[] = "Are you sure to stop the running process?";
inline constexpr char kCloseWhileRunningText[] = "Please stop the running process to close the application.";

class CSaveRecoveredDlg : public QDialog {
  Q_OBJECT
 public:
  // The list holds `files` of the frame's current scanner.
  CSaveRecoveredDlg(CMainFrame& frame, std::vector<CheckedFile> files);
  ~CSaveRecoveredDlg() override;

  // The save button: checks the inputs, writes the opening log lines and
  // starts RunSaveJob on the worker.
  void StartSaveJob();
  // The worker: the core save job over the list, then the window back in its
  // idle layout and the closing message.
  void RunSaveJob(const quillon::SaveJobSettings& settings);
  // Stop: asks, then clears the running flag.
  void OnStop();
  // The folder-browse button: the destination picked in a folder dialog.
  void OnBrowse();
  // True from StartSaveJob until the worker has ended.
  bool JobRunning() const;
  // Waits (handling the worker's calls) until the worker has ended.
  void WaitForJob() { m_worker.Wait(); }

  QLineEdit* DestinationEdit() const { return m_editDestination; }
  QCheckBox* HierarchyCheck() const { return m_chkHierarchy; }
  QPushButton* SaveButton() const { return m_btnSave; }
  QToolButton* BrowseButton() const { return m_btnBrowse; }
  QPushButton* CloseButton() const { return m_btnClose; }
  QPushButton* StopButton() const { return m_btnStop; }
  QProgressBar* ProgressBar() const { return m_progress; }
  QLabel* BusyLabel() const { return m_lblBusy; }
  QLabel* TotalLabel() const { return m_lblTotal; }
  QLabel* CountLabel() const { return m_lblCount; }
  QTreeWidget* List() const { return m_list; }
  const std::vector<quillon::SaveEntry>& Entries() const { return m_entries; }
  // The result of the last job that ended.
  const quillon::SaveJobResult& LastResult() const { return m_result; }
  // Deliveries of log lines to the window so far (for measurements).
  uint64_t LogDeliveries() const;

 public slots:
  void reject() override;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildLayout();
  void FillList(const std::vector<CheckedFile>& files);
  // Running layout (inputs disabled, Stop, progress and busy text shown) or idle.
  void SetRunningLayout(bool running);
  // True (and says so) while the job runs.
  bool RefuseWhileRunning();

  CMainFrame& m_frame;
  std::vector<quillon::SaveEntry> m_entries;
  quillon::SaveJobResult m_result;
  SegmentedReader m_reader;
  QLineEdit* m_editDestination = nullptr;
  QToolButton* m_btnBrowse = nullptr;
  QPushButton* m_btnSave = nullptr;
  QCheckBox* m_chkHierarchy = nullptr;
  QTreeWidget* m_list = nullptr;
  QProgressBar* m_progress = nullptr;
  QLabel* m_lblTotal = nullptr;
  QLabel* m_lblCount = nullptr;
  QLabel* m_lblBusy = nullptr;
  QPushButton* m_btnClose = nullptr;
  QPushButton* m_btnStop = nullptr;
  SaveJobLog* m_log = nullptr;
  NotifyBridge m_bridge;
  // Declared last: the worker ends before the members it uses go.
  WorkerThread m_worker;
};
