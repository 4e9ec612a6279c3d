// The scan run: the Open command, the scan worker, the progress in the status
// bar and the Stop command.
//
// The worker reaches the windows only through blocking calls that the
// user-interface thread handles (progress, the first tree level, log lines,
// message boxes owned by the main window); the end of the process is posted.

#include <QLabel>
#include <QLayout>
#include <QProgressBar>
#include <algorithm>
#include <cmath>
#include <new>

#include "shell/open_file_checks.h"
#include "log/log_list_ctrl.h"
#include "log_time.h"
#include "shell/main_frame.h"
#include "log/output_pane.h"
#include "preview_folder.h"
#include "dialogs/prompt.h"
#include "dialogs/recovery_selection_dlg.h"
#include "scan_options.h"
#include "scanner.h"
#include "static_file_viewer.h"
#include "text.h"
#include "dialogs/wait_cursor.h"

namespace {

QString Decimal(uint64_t value) { return QString::number(static_cast<qulonglong>(value)); }

}  // namespace

void CMainFrame::SetScannerFactory(ScannerFactory factory) { m_scannerFactory = std::move(factory); }

void CMainFrame::OnFileOpen() {
  if (RefuseWhileBusy(kBusyOpenText)) return;
  // A stopped scan may still be writing its last lines.
  m_scanThread.Wait();
  WaitCursor wait;

  FileDialogRequest request;
  request.mode = FileDialogRequest::Mode::Open;
  request.filter = QStringLiteral(".bkf Files (*.bkf)|*bkf||");
  request.defaultExtension = QStringLiteral("bkf");
  request.initialName = QStringLiteral("*.bkf");
  request.fileMustExist = true;
  request.hideReadOnly = true;
  const std::optional<QString> chosen = Prompt().FileDialog(this, request);
  if (!chosen) return;

  const std::u16string path = quillon::Trim16(chosen->toStdU16String());
  if (!IsSelectableBkfPath(path)) {
    ShowMessage(this, QString::fromLatin1(kInvalidBkfText));
    return;
  }
  m_state.m_strBkfFileSize = GetBkfFileSize(quillon::PathFromUtf16(path));

  CTarvelRangeSliderDlg dialog(this, m_state);
  if (Prompt().RunDialog(dialog) != QDialog::Accepted) {
    ShowMessage(this, QString::fromLatin1(kNoRecoveryModeText));
    return;
  }
  m_state.m_strBkfFilePath = path;

  m_wndOutput->FileViewer()->DestroyChildView();
  AttachImageLists();
  ClearScanResult();

  const QString shownPath = QString::fromStdU16String(path);
  m_wndOutput->ClearLog();
  m_wndOutput->AppendLogLines({
      QString(),
      shownPath + QStringLiteral(" File is selected for recovery...."),
      QString(),
      QStringLiteral("BKF file size is: ") + QString::fromStdU16String(m_state.m_strBkfFileSize),
      QString(),
      QStringLiteral("Corvane BKF file Recovery process starts.  ") + QString::fromStdU16String(quillon::LogTimeNow()),
      QString(),
  });
  m_wndOutput->ShowLogTab();

  m_state.m_bProcessRunning.store(1);
  SendMessage(UM_PROCESS_STATE, 1, 0);
  if (QProgressBar* bar = m_processElements.progressBar) {
    bar->setRange(0, 100);
    bar->setValue(0);
  }
  UpdateCommandUi();

  DeletePreviewFolder();
  m_scanThread.Start([this] { ScanThreadProc(this); });
}

unsigned CMainFrame::ScanThreadProc(CMainFrame* frame) {
  frame->ScanWorker();
  return 1;
}

int CMainFrame::ScanWorker() {
  try {
    m_pScanner.reset();
    const ScanOptions options = ScanOptionsFromState(m_state);
    m_pScanner = m_scannerFactory ? m_scannerFactory(m_state, m_state.m_nRecoveryMode)
                                  : MakeScanner(options, m_state);
    if (!m_pScanner) throw std::bad_alloc();
    bkf& scanner = *m_pScanner;
    scanner.m_hNotifyWnd = this;
    scanner.SetOptions(options);

    if (scanner.Scan(quillon::PathFromUtf16(m_state.m_strBkfFilePath)) == 0) {
      EndScanProcess();
      MessageBox(quillon::Utf8ToUtf16(kScanAbortedText), ProductCaption(), MsgButtons::Ok, MsgIcon::Information);
      return 0;
    }

    // Completed or stopped: what was found is shown either way.
    m_bridge.RunBlocking([this] { m_wndOutput->LogList()->EnsureLastVisible(); });
    FillFirstTreeLevel();
    EndScanProcess();
    MessageBox(quillon::Utf8ToUtf16(kScanCompletedText), ProductCaption(), MsgButtons::Ok, MsgIcon::Information);
    QStringList damage;
    for (const std::u16string& note : scanner.DamageNotes()) damage << QString::fromStdU16String(note);
    if (!damage.isEmpty()) AppendLogLinesFromWorker(damage << QString());
    AppendLogLinesFromWorker({
        QStringLiteral("Total number of files found: ") + Decimal(static_cast<uint64_t>(scanner.m_files.Count())),
        QString(),
        QString::fromLatin1(kScanCompletedText),
        QString(),
    });
    return 1;
  } catch (...) {
    // A read error of the file or exhausted memory: what was found so far
    // stays in the scanner but is not shown.
    EndScanProcess();
    MessageBox(quillon::Utf8ToUtf16(kScanErrorText), ProductCaption(), MsgButtons::Ok, MsgIcon::Information);
    return 0;
  }
}

void CMainFrame::EndScanProcess() {
  // Cleared on the user-interface thread, so that it cannot fall into the
  // middle of a list fill that a click after Stop started there.
  m_bridge.RunBlocking([this] { m_state.m_bProcessRunning.store(0); });
  PostMessage(UM_PROCESS_STATE, 0, 0);
}

void CMainFrame::AppendLogLinesFromWorker(const QStringList& lines) {
  m_bridge.RunBlocking([this, &lines] { m_wndOutput->AppendLogLines(lines); });
}

void CMainFrame::OnStop() {
  if (ShowMessage(this, QString::fromLatin1(kStopQuestionText), MsgIcon::Question, MsgButtons::YesNo) ==
      MsgResult::Yes)
    m_state.m_bProcessRunning.store(0);
}

intptr_t CMainFrame::OnProcessState(uintptr_t wParam, intptr_t) {
  if (wParam != 0) {
    m_processElements = m_wndStatusBar->AddProcessElements();
    m_progressGate.Reset();
  } else {
    m_wndStatusBar->RemoveProcessElements();
    m_processElements = {};
  }
  UpdateCommandUi();
  if (QLayout* frameLayout = layout()) frameLayout->activate();
  repaint();
  return 1;
}

intptr_t CMainFrame::OnScanProgress(uintptr_t wParam, intptr_t) {
  // The record belongs to the receiver.
  std::unique_ptr<ScanProgress> record(reinterpret_cast<ScanProgress*>(wParam));
  if (!record) return 1;
  const ScanProgress progress = *record;
  record.reset();
  ++m_nProgressHandled;

  if (QLabel* pane = m_processElements.progress) {
    pane->setText(QStringLiteral("Progress: ") + Decimal(progress.position) + QLatin1Char('/') +
                  Decimal(progress.fileLength));
    pane->repaint();
  }
  if (QProgressBar* bar = m_processElements.progressBar) {
    const double percent = std::isfinite(progress.percent) ? progress.percent : 0.0;
    bar->setValue(static_cast<int>(std::clamp(percent, 0.0, 100.0)));
  }
  if (QLabel* pane = m_processElements.percent) {
    pane->setText(QString::asprintf("%.2f", double(progress.percent)) + QLatin1Char('%'));
    pane->repaint();
  }
  if (QLabel* pane = m_processElements.filesFound) {
    pane->setText(QStringLiteral("File Found: ") + Decimal(progress.filesFound));
    pane->repaint();
  }
  m_progressGate.Handled();
  return 1;
}

intptr_t CMainFrame::OnScanFinished(uintptr_t, intptr_t) {
  if (QProgressBar* bar = m_processElements.progressBar) bar->setValue(100);
  return 1;
}
