#include "snapshot/snapshot_commands.h"

#include <QCoreApplication>
#include <QEventLoop>

#include "dialogs/prompt.h"
#include "dialogs/wait_cursor.h"
#include "log/output_pane.h"
#include "log_time.h"
#include "shell/main_frame.h"
#include "snapshot.h"
#include "static_file_viewer.h"
#include "text.h"

namespace {

QString TimeNow() { return QString::fromStdU16String(quillon::LogTimeNow()); }

FileDialogRequest SnapshotDialog(FileDialogRequest::Mode mode) {
  FileDialogRequest request;
  request.mode = mode;
  request.filter = QString::fromLatin1(kSnapshotFilter);
  if (mode == FileDialogRequest::Mode::Save) {
    request.defaultExtension = QString::fromLatin1(kSnapshotDefaultExtension);
    request.confirmOverwrite = true;
  } else {
    request.fileMustExist = true;
  }
  return request;
}

}  // namespace

void SaveRecoverySnapshot(CMainFrame& frame, ApplicationState& state) {
  WaitCursor wait;
  const std::optional<QString> chosen = Prompt().FileDialog(&frame, SnapshotDialog(FileDialogRequest::Mode::Save));
  if (!chosen || chosen->isEmpty()) return;
  const QString path = *chosen;

  state.m_bProcessRunning.store(1);
  frame.OutputWnd()->FileViewer()->DestroyChildView();
  frame.OutputWnd()->ShowLogTab();
  frame.OutputWnd()->AppendLogLines({path + QStringLiteral(" file is saving for Quillon Recovery Snapshot.    ") + TimeNow(),
                                     QString()});

  SnapshotWriteResult result;
  if (bkf* scanner = frame.Scanner())
    result = WriteSnapshot(*scanner, quillon::PathFromUtf16(path.toStdU16String()), state);
  else
    result.reason = "there is no scan result";
  state.m_bProcessRunning.store(0);
  if (result.ok) {
    frame.OutputWnd()->AppendLogLines(
        {QStringLiteral("Saving of Quillon Recovery Snapshot has been completed successfully.    ") + TimeNow(),
         QString()});
    return;
  }
  // Said once in the log and once in a box, so nobody takes the file for kept.
  const QString text = QStringLiteral("Recovery snapshot cannot be saved to ") + path + QStringLiteral(": ") +
                       QString::fromStdString(result.reason) + QStringLiteral(".");
  frame.OutputWnd()->AppendLogLines({text + QStringLiteral("    ") + TimeNow(), QString()});
  ShowMessage(&frame, text);
}

void LoadRecoverySnapshot(CMainFrame& frame, ApplicationState& state) {
  WaitCursor wait;
  const std::optional<QString> chosen = Prompt().FileDialog(&frame, SnapshotDialog(FileDialogRequest::Mode::Open));
  if (!chosen || chosen->isEmpty()) return;
  const QString path = *chosen;

  frame.OutputWnd()->FileViewer()->DestroyChildView();
  frame.OutputWnd()->ShowLogTab();
  // Pending drawing and worker calls, not the user's input: no other command may start here.
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  state.m_bProcessRunning.store(1);
  frame.UpdateCommandUi();

  // A stopped scan may still be writing its last lines into the result.
  frame.WaitForScanWorker();
  frame.ClearScanResult();
  frame.AttachImageLists();
  frame.OutputWnd()->AppendLogLines({QString(),
                                     path + QStringLiteral(" File is selected for BKF Load Recovery Snapshot.     ") +
                                         TimeNow(),
                                     QString()});

  std::u16string bkfPath;
  std::unique_ptr<bkf> loaded;
  const int ok = LoadSnapshot(quillon::PathFromUtf16(path.toStdU16String()), bkfPath, loaded, &frame, state);
  frame.SetScanner(std::move(loaded));
  if (!ok) {
    state.m_bProcessRunning.store(0);
    frame.UpdateCommandUi();
    ShowMessage(&frame, QString::fromStdU16String(kSnapshotAborted));
    return;
  }
  frame.FillFirstTreeLevel();
  frame.OutputWnd()->AppendLogLines(
      {QStringLiteral("BKF file name:  ") + QString::fromStdU16String(bkfPath),
       QStringLiteral("Loading of BKF file snapshot has been completed.     ") + TimeNow()});
  state.m_strBkfFilePath = bkfPath;
  state.m_bProcessRunning.store(0);
  frame.UpdateCommandUi();
}
