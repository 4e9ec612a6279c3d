// "Save file(s)" of the search window: the save job over the rows of the
// result list, with the window as its host and its lines in the main
// window's log.

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <algorithm>
#include <climits>
#include <exception>

#include "app_state.h"
#include "dialogs/prompt.h"
#include "log/output_pane.h"
#include "save/save_job_log.h"
#include "save/save_job_prompts.h"
#include "save/save_recovered_dlg.h"
#include "save_log.h"
#include "save_paths.h"
#include "scanner.h"
#include "save/save_request_checks.h"
#include "search/search_dlg.h"
#include "search/search_result_list.h"
#include "shell/main_frame.h"
#include "text.h"

void CTarvelDlgSearchBkfFiles::StartSaveJob() {
  if (IsBusy() || m_worker.Running()) return;
  const std::u16string typed = m_editDestination->text().toStdU16String();
  const bool hierarchy = m_chkHierarchy->isChecked();
  if (!CheckSaveRequest(this, size_t(m_list->GetItemCount()), m_editDestination->text(), hierarchy)) return;
  if (IsBusy() || !m_frame.Scanner()) return;

  // The job's list: the rows as they stand now.
  std::vector<quillon::SaveEntry> entries;
  entries.reserve(size_t(m_list->GetItemCount()));
  for (int row = 0; row < m_list->GetItemCount(); ++row) {
    const SearchResultRow* r = m_list->Model().At(row);
    entries.push_back({r->text.toStdU16String(), quillon::ToDecimal16(r->size), r->record});
  }

  m_frame.OutputWnd()->ShowLogTab();
  m_saveLog->DeliverPending();
  quillon::LogSaveOpening(*m_saveLog, entries.size());
  m_saveLog->DeliverPending();
  m_progress->setRange(0, int(std::min<size_t>(entries.size(), size_t(INT_MAX))));
  m_progress->setValue(0);
  SetRunningLayout(true);
  m_lblTotal->hide();
  m_lblCount->hide();
  // Set before the worker starts, so that nothing else can start in between.
  m_state.m_bProcessRunning.store(1);
  m_frame.UpdateCommandUi();
  const quillon::SaveJobSettings settings{typed, hierarchy};
  m_worker.Start([this, settings, entries = std::move(entries)] { RunSaveJob(entries, settings); });
}

void CTarvelDlgSearchBkfFiles::RunSaveJob(const std::vector<quillon::SaveEntry>& entries,
                                          const quillon::SaveJobSettings& settings) {
  bkf& scanner = *m_frame.Scanner();
  SaveJobPrompts prompts(this, m_bridge, scanner);
  quillon::SaveJobResult result;
  try {
    result = quillon::RunSaveJob(scanner, entries, settings, prompts, *m_saveLog, m_reader);
  } catch (const std::exception& e) {
    // Nothing the job does should raise; if it does, the window is not left running.
    m_state.m_bProcessRunning.store(0);
    result.endedEarly = true;
    result.location = settings.destination;
    result.reason = quillon::Utf8ToUtf16(e.what());
  }
  m_bridge.RunBlocking([&] {
    m_saveLog->DeliverPending();
    m_progress->setValue(m_progress->maximum());
    m_progress->hide();
    SetRunningLayout(false);
    m_lblTotal->show();
    m_lblCount->setText(QString::number(m_list->GetItemCount()));
    m_lblCount->show();
    const bool problems = result.notSaved > 0 || result.endedEarly;
    ShowMessage(this, QString::fromStdU16String(result.ClosingMessage()),
                problems ? MsgIcon::Warning : MsgIcon::Information);
  });
}
