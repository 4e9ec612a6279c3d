#include "save/save_recovered_dlg.h"

#include "save/save_request_checks.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "app_state.h"
#include "dialogs/prompt.h"
#include "list/shell_file_info.h"
#include "log/output_pane.h"
#include "save/save_job_log.h"
#include "save/save_job_prompts.h"
#include "save_log.h"
#include "save_paths.h"
#include "shell/main_frame.h"
#include "text.h"

namespace {
bool FlagSet() { return AppState().m_bProcessRunning.load() != 0; }
}  // namespace

CSaveRecoveredDlg::CSaveRecoveredDlg(CMainFrame& frame, std::vector<CheckedFile> files)
    : QDialog(&frame), m_frame(frame), m_bridge([](uint32_t, uintptr_t, intptr_t) -> intptr_t { return 0; }, this) {
  setObjectName(QStringLiteral("SaveRecoveredDialog"));
  setWindowTitle(QString::fromLatin1(kSaveWindowTitle));
  setAccessibleName(QString::fromLatin1(kSaveWindowTitle));
  m_log = new SaveJobLog(
      [this](const QStringList& lines, uint64_t progress) {
        if (!lines.isEmpty()) m_frame.OutputWnd()->AppendLogLines(lines);
        m_progress->setValue(int(std::min<uint64_t>(progress, uint64_t(m_progress->maximum()))));
      },
      this);
  BuildLayout();
  FillList(files);
  SetRunningLayout(false);
  // 398 by 205 dialog units.
  resize(800, 440);
}

CSaveRecoveredDlg::~CSaveRecoveredDlg() { m_worker.Wait(); }

void CSaveRecoveredDlg::BuildLayout() {
  auto* group = new QGroupBox(QString::fromLatin1(kDestinationGroupText), this);
  m_editDestination = new QLineEdit(group);
  m_editDestination->setAccessibleName(QStringLiteral("Destination folder"));
  m_btnBrowse = new QToolButton(group);
  m_btnBrowse->setText(QStringLiteral("..."));
  m_btnBrowse->setToolTip(QStringLiteral("Browse for the destination folder"));
  m_btnBrowse->setAccessibleName(QStringLiteral("Browse for the destination folder"));
  m_btnSave = new QPushButton(QString::fromLatin1(kSaveButtonText), group);
  m_btnSave->setAccessibleName(QString::fromLatin1(kSaveButtonText));
  auto* groupRow = new QHBoxLayout(group);
  groupRow->addWidget(m_editDestination, 1);
  groupRow->addWidget(m_btnBrowse);
  groupRow->addWidget(m_btnSave);

  m_chkHierarchy = new QCheckBox(QString::fromLatin1(kHierarchyText), this);
  m_chkHierarchy->setAccessibleName(QString::fromLatin1(kHierarchyText));
  m_chkHierarchy->setChecked(true);

  m_list = new QTreeWidget(this);
  m_list->setAccessibleName(QStringLiteral("Files to save"));
  m_list->setColumnCount(3);
  m_list->setHeaderLabels({QStringLiteral("File Name"), QStringLiteral("File Type"), QStringLiteral("File Size(Bytes)")});
  m_list->setRootIsDecorated(false);
  m_list->setUniformRowHeights(true);
  m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
  m_list->setAlternatingRowColors(true);
  // Long tree paths keep their file name in view.
  m_list->setTextElideMode(Qt::ElideMiddle);
  m_list->header()->resizeSection(0, 380);
  m_list->header()->resizeSection(1, 200);

  m_progress = new QProgressBar(this);
  m_progress->setAccessibleName(QStringLiteral("Saving progress"));
  m_progress->setTextVisible(false);
  m_lblTotal = new QLabel(QString::fromLatin1(kTotalSavedText), this);
  m_lblCount = new QLabel(this);
  m_lblCount->setAccessibleName(QStringLiteral("Number of files saved"));
  m_lblBusy = new QLabel(QString::fromLatin1(kSavingBusyText), this);
  m_btnClose = new QPushButton(QStringLiteral("Close"), this);
  m_btnClose->setAccessibleName(QStringLiteral("Close"));
  m_btnStop = new QPushButton(QStringLiteral("Stop"), this);
  m_btnStop->setAccessibleName(QStringLiteral("Stop"));

  auto* bottom = new QHBoxLayout;
  bottom->addWidget(m_lblTotal);
  bottom->addWidget(m_lblCount);
  bottom->addSpacing(12);
  bottom->addWidget(m_lblBusy);
  bottom->addStretch(1);
  // Close and Stop share one place; one of them is shown at a time.
  bottom->addWidget(m_btnClose);
  bottom->addWidget(m_btnStop);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(group);
  layout->addWidget(m_chkHierarchy);
  layout->addWidget(m_list, 1);
  layout->addWidget(m_progress);
  layout->addLayout(bottom);

  connect(m_btnSave, &QPushButton::clicked, this, [this] { StartSaveJob(); });
  connect(m_btnBrowse, &QToolButton::clicked, this, [this] { OnBrowse(); });
  connect(m_btnStop, &QPushButton::clicked, this, [this] { OnStop(); });
  connect(m_btnClose, &QPushButton::clicked, this, [this] { reject(); });
  m_btnClose->setDefault(false);
  m_btnSave->setDefault(true);
}

void CSaveRecoveredDlg::FillList(const std::vector<CheckedFile>& files) {
  CShellFileInfo& shell = m_frame.ShellFileInfo();
  m_entries.reserve(files.size());
  QList<QTreeWidgetItem*> rows;
  rows.reserve(qsizetype(files.size()));
  for (const CheckedFile& file : files) {
    m_entries.push_back({file.displayText, file.sizeText, file.record});
    const QString text = QString::fromStdU16String(file.displayText);
    auto* row = new QTreeWidgetItem({text, shell.GetFileTypeName(text), QString::fromStdU16String(file.sizeText)});
    row->setIcon(0, shell.ImageList().Icon(shell.GetFileIconIndex(text)));
    row->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
    rows << row;
  }
  m_list->addTopLevelItems(rows);
}

void CSaveRecoveredDlg::SetRunningLayout(bool running) {
  m_editDestination->setEnabled(!running);
  m_btnBrowse->setEnabled(!running);
  m_btnSave->setEnabled(!running);
  m_chkHierarchy->setEnabled(!running);
  m_btnClose->setVisible(!running);
  m_btnStop->setVisible(running);
  m_progress->setVisible(running);
  m_lblBusy->setVisible(running);
  if (running) {
    m_lblTotal->hide();
    m_lblCount->hide();
  }
}

bool CSaveRecoveredDlg::JobRunning() const { return m_worker.Running(); }

uint64_t CSaveRecoveredDlg::LogDeliveries() const { return m_log->Deliveries(); }

void CSaveRecoveredDlg::OnBrowse() {
  FileDialogRequest request;
  request.mode = FileDialogRequest::Mode::Folder;
  request.title = QString::fromLatin1(kDestinationGroupText);
  request.initialName = m_editDestination->text();
  if (const std::optional<QString> folder = Prompt().FileDialog(this, request); folder && !folder->isEmpty())
    m_editDestination->setText(*folder);
}

void CSaveRecoveredDlg::StartSaveJob() {
  if (FlagSet() || m_worker.Running()) return;
  const std::u16string typed = m_editDestination->text().toStdU16String();
  const bool hierarchy = m_chkHierarchy->isChecked();
  if (!CheckSaveRequest(this, m_entries.size(), m_editDestination->text(), hierarchy)) return;
  // The notice may have taken a while: another process may have started meanwhile.
  if (FlagSet() || !m_frame.Scanner()) return;

  m_frame.OutputWnd()->ShowLogTab();
  m_log->DeliverPending();
  quillon::LogSaveOpening(*m_log, m_entries.size());
  m_log->DeliverPending();

  m_progress->setRange(0, int(std::min<size_t>(m_entries.size(), size_t(INT32_MAX))));
  m_progress->setValue(0);
  SetRunningLayout(true);
  // Set here, before the worker starts, so that no other command can start in between.
  AppState().m_bProcessRunning.store(1);
  m_frame.UpdateCommandUi();
  const quillon::SaveJobSettings settings{typed, hierarchy};
  m_worker.Start([this, settings] { RunSaveJob(settings); });
}

void CSaveRecoveredDlg::RunSaveJob(const quillon::SaveJobSettings& settings) {
  bkf& scanner = *m_frame.Scanner();
  SaveJobPrompts prompts(this, m_bridge, scanner);
  quillon::SaveJobResult result;
  try {
    result = quillon::RunSaveJob(scanner, m_entries, settings, prompts, *m_log, m_reader);
  } catch (const std::exception& e) {
    // Nothing the job does should raise; if it does, the window is not left running.
    AppState().m_bProcessRunning.store(0);
    result.endedEarly = true;
    result.location = settings.destination;
    result.reason = quillon::Utf8ToUtf16(e.what());
  }
  m_bridge.RunBlocking([this, &result] {
    m_log->DeliverPending();
    m_result = result;
    m_progress->setValue(m_progress->maximum());
    SetRunningLayout(false);
    m_lblTotal->show();
    m_lblCount->setText(QString::number(m_entries.size()));
    m_lblCount->show();
    m_frame.UpdateCommandUi();
  });
  const bool problems = result.notSaved > 0 || result.endedEarly;
  m_bridge.RunBlocking([this, &result, problems] {
    ShowMessage(this, QString::fromStdU16String(result.ClosingMessage()),
                problems ? MsgIcon::Warning : MsgIcon::Information);
  });
}

void CSaveRecoveredDlg::OnStop() {
  if (!FlagSet()) return;
  if (ShowMessage(this, QString::fromLatin1(kStopSaveQuestion), MsgIcon::Question, MsgButtons::YesNo) ==
      MsgResult::Yes)
    AppState().m_bProcessRunning.store(0);
}

bool CSaveRecoveredDlg::RefuseWhileRunning() {
  if (!FlagSet() && !m_worker.Running()) return false;
  if (FlagSet()) {
    ShowMessage(this, QString::fromLatin1(kCloseWhileRunningText));
    return true;
  }
  // The job has ended and only shows its last message: wait for it.
  m_worker.Wait();
  return false;
}

void CSaveRecoveredDlg::reject() {
  if (RefuseWhileRunning()) return;
  QDialog::reject();
}

void CSaveRecoveredDlg::closeEvent(QCloseEvent* event) {
  if (RefuseWhileRunning()) {
    event->ignore();
    return;
  }
  QDialog::closeEvent(event);
}
