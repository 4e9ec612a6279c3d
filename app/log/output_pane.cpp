#include "log/output_pane.h"

#include <QFile>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include "app_state.h"
#include "shell/command_ids.h"
#include "log/log_list_ctrl.h"
#include "log/log_file.h"
#include "dialogs/prompt.h"
#include "static_file_viewer.h"

COutputWnd::COutputWnd(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("outputWnd"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  m_wndTabs = new QTabWidget(this);
  m_wndTabs->setObjectName(QStringLiteral("outputTabs"));
  m_wndTabs->setProperty("controlId", IDC_OUTPUT_TABS);
  m_wndTabs->setTabPosition(QTabWidget::South);
  m_wndTabs->setDocumentMode(true);
  m_wndTabs->tabBar()->setExpanding(false);
  m_wndOutputBuild = new CCustomListCtrl(m_wndTabs);
  m_wndFileViewer = new CTarvelStaticFileViewer(m_wndTabs);
  m_wndTabs->addTab(m_wndOutputBuild, QString::fromLatin1(kLogTabLabel));
  m_wndTabs->addTab(m_wndFileViewer, QString::fromLatin1(kFileViewerTabLabel));
  m_wndTabs->setCurrentIndex(kLogTab);
  layout->addWidget(m_wndTabs);
}

void COutputWnd::AppendLogLine(const QString& text) {
  m_wndOutputBuild->AppendRow(text);
  m_wndOutputBuild->EnsureLastVisible();
}

void COutputWnd::AppendLogLines(const QStringList& lines) {
  for (const QString& line : lines) m_wndOutputBuild->AppendRow(line);
  m_wndOutputBuild->EnsureLastVisible();
}

void COutputWnd::ClearLog() { m_wndOutputBuild->DeleteAllItems(); }

QStringList COutputWnd::LogLines() const { return m_wndOutputBuild->Rows(); }

void COutputWnd::ShowLogTab() { m_wndTabs->setCurrentIndex(kLogTab); }

void COutputWnd::ShowFileViewerTab() { m_wndTabs->setCurrentIndex(kFileViewerTab); }

void COutputWnd::SaveLog(bool haveResult) {
  if (AppState().m_bProcessRunning.load() == 1) {
    ShowMessage(window(), QStringLiteral("Please stop the running process to save the log file."));
    return;
  }
  if (!haveResult) {
    ShowMessage(window(), QStringLiteral("Please start the recovery process of BKF file to save the log file."));
    return;
  }
  FileDialogRequest request;
  request.mode = FileDialogRequest::Mode::Save;
  request.filter = QStringLiteral("Text Files (*.TXT)|*.txt||");
  request.defaultExtension = QStringLiteral("txt");
  request.initialName = QStringLiteral("Untitled");
  request.confirmOverwrite = true;
  const std::optional<QString> chosen = Prompt().FileDialog(window(), request);
  if (!chosen) return;

  std::vector<std::u16string> rows;
  rows.reserve(size_t(m_wndOutputBuild->GetItemCount()));
  for (const QString& row : m_wndOutputBuild->Rows()) rows.push_back(row.toStdU16String());
  const LogFileResult result = WriteLogFile(std::filesystem::path(QFile::encodeName(*chosen).toStdString()), rows);
  if (!result.ok) ShowMessage(window(), QString::fromStdU16String(result.message));
}
