#include "search/search_save.h"

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
#include "save_log.h"
#include "save_paths.h"
#include "scanner.h"
#include "search/search_dlg.h"
#include "search/search_result_list.h"
#include "shell/main_frame.h"
#include "text.h"

namespace {

// Log lines and progress of the job: each line reaches the main window's log
// in order; the worker waits for it, as it does for every other call.
class SearchSaveSink : public quillon::ISaveJobSink {
 public:
  SearchSaveSink(CTarvelDlgSearchBkfFiles& window, NotifyBridge& bridge) : m_window(window), m_bridge(bridge) {}
  void LogLine(std::u16string_view line) override {
    const QString text = QString::fromStdU16String(std::u16string(line));
    m_bridge.RunBlocking([&] { m_window.Frame().OutputWnd()->AppendLogLine(text); });
  }
  void Progress(uint64_t position, uint64_t) override {
    const int value = int(std::min<uint64_t>(position, INT_MAX));
    m_bridge.RunBlocking([&] { m_window.Progress()->setValue(value); });
  }

 private:
  CTarvelDlgSearchBkfFiles& m_window;
  NotifyBridge& m_bridge;
};

}  // namespace

MsgResult SearchSavePrompts::Ask(const QString& text, MsgButtons buttons) {
  MsgResult answer = MsgResult::Ok;
  m_bridge.RunBlocking([&] { answer = ShowMessage(m_owner, text, MsgIcon::Information, buttons); });
  return answer;
}

bool SearchSavePrompts::ConfirmStartsEarlier(const FoundFileRecord& record) {
  const int64_t index = record.index;
  const std::u16string name = m_scanner.m_files.IsValid(index) ? m_scanner.m_files.Name(index) : u"";
  return Ask(QString::fromStdU16String(name + quillon::kStartsEarlierQuestion), MsgButtons::YesNo) == MsgResult::Yes;
}

NextPartAnswer SearchSavePrompts::RequestNextPart() {
  while (true) {
    if (Ask(QString::fromStdU16String(quillon::kNextPartQuestion), MsgButtons::YesNo) != MsgResult::Yes) break;
    FileDialogRequest request;
    request.mode = FileDialogRequest::Mode::Open;
    request.filter = QString::fromLatin1(kSearchNextPartFilter);
    request.defaultExtension = QStringLiteral("bkf");
    request.initialName = QStringLiteral("*.bkf");
    request.fileMustExist = true;
    request.hideReadOnly = true;
    std::optional<QString> chosen;
    m_bridge.RunBlocking([&] { chosen = Prompt().FileDialog(m_owner, request); });
    if (!chosen || chosen->isEmpty()) break;
    auto file = std::make_unique<BkfFile>();
    if (file->Open(quillon::PathFromUtf16(chosen->toStdU16String()))) return NextPartAnswer::Part(std::move(file));
  }
  Ask(QString::fromStdU16String(quillon::kNoNextPart), MsgButtons::Ok);
  return NextPartAnswer::None();
}

void CTarvelDlgSearchBkfFiles::StartSaveJob() {
  if (IsBusy() || m_worker.Running()) return;
  if (m_list->GetItemCount() == 0) {
    ShowMessage(this, QString::fromStdU16String(quillon::kNoFileToSave));
    return;
  }
  const std::u16string typed = m_editDestination->text().toStdU16String();
  if (!quillon::SaveDestination(typed).IsFolder()) {
    ShowMessage(this, QString::fromStdU16String(quillon::kInvalidDestination));
    return;
  }
  const bool hierarchy = m_chkHierarchy->isChecked();
  if (hierarchy) ShowMessage(this, QString::fromLatin1(kSearchLongNameNotice));
  if (IsBusy() || !m_frame.Scanner()) return;

  // The job's list: the rows as they stand now.
  std::vector<quillon::SaveEntry> entries;
  entries.reserve(size_t(m_list->GetItemCount()));
  for (int row = 0; row < m_list->GetItemCount(); ++row) {
    const SearchResultRow* r = m_list->Model().At(row);
    entries.push_back({r->text.toStdU16String(), quillon::ToDecimal16(r->size), r->record});
  }

  m_frame.OutputWnd()->ShowLogTab();
  m_progress->setRange(0, int(std::min<size_t>(entries.size(), size_t(INT_MAX))));
  m_progress->setValue(0);
  SetRunningLayout(true);
  m_lblTotal->hide();
  m_lblCount->hide();
  // Set before the worker starts, so that nothing else can start in between.
  m_state.m_bProcessRunning.store(1);
  const quillon::SaveJobSettings settings{typed, hierarchy};
  m_worker.Start([this, settings, entries = std::move(entries)] { RunSaveJob(entries, settings); });
}

void CTarvelDlgSearchBkfFiles::RunSaveJob(const std::vector<quillon::SaveEntry>& entries,
                                          const quillon::SaveJobSettings& settings) {
  bkf& scanner = *m_frame.Scanner();
  SearchSaveSink sink(*this, m_bridge);
  SearchSavePrompts prompts(this, m_bridge, scanner);
  quillon::LogSaveOpening(sink, entries.size());
  quillon::SaveJobResult result;
  try {
    result = quillon::RunSaveJob(scanner, entries, settings, prompts, sink, m_reader);
  } catch (const std::exception& e) {
    // Nothing the job does should raise; if it does, the window is not left running.
    m_state.m_bProcessRunning.store(0);
    result.endedEarly = true;
    result.location = settings.destination;
    result.reason = quillon::Utf8ToUtf16(e.what());
  }
  m_bridge.RunBlocking([&] {
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
