// The search of the search window and the removal of its rows.
//
// RunSearch runs on the window's worker thread. It reaches the controls only
// through blocking calls that the user-interface thread handles. Matching
// rows are handed over in batches: at most one batch per gate interval, so
// the worker never waits for the user-interface thread to draw each row, and
// the user-interface thread only moves the finished rows into the list (the
// type texts and icons are looked up when a row is drawn).

#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <algorithm>
#include <climits>
#include <exception>
#include <optional>
#include <vector>

#include "dialogs/prompt.h"
#include "dialogs/wait_cursor.h"
#include "file_search.h"
#include "match_pattern.h"
#include "scanner.h"
#include "search/search_dlg.h"
#include "search/search_result_list.h"
#include "shell/main_frame.h"
#include "text.h"

namespace {

int ProgressValue(int64_t value) { return int(std::clamp<int64_t>(value, 0, INT_MAX)); }

// Collects the matches of the worker and hands them to the list.
class SearchRowSink : public quillon::IFileSearchSink {
 public:
  SearchRowSink(bkf& scanner, CTarvelDlgSearchBkfFiles& window, NotifyBridge& bridge, ProgressGate& gate,
                std::atomic<uint64_t>& batches)
      : m_scanner(scanner), m_window(window), m_bridge(bridge), m_gate(gate), m_batches(batches) {}

  void OnMatch(int64_t record) override {
    const FoundFileRecord& r = m_scanner.m_files.Record(record);
    // The files of a folder follow each other: its path is built once.
    const int64_t parent = r.parent;
    if (parent != m_pathOf || m_path.isNull()) {
      m_pathOf = parent;
      m_path = m_scanner.m_tree.IsValid(parent) ? QString::fromStdU16String(m_scanner.m_tree.GetNodePath(parent))
                                                : QString(QLatin1String(""));
    }
    m_pending.push_back({m_path + QString::fromStdU16String(m_scanner.m_files.Name(record)), record, r.dataLength});
  }
  void OnProgress(int64_t k) override {
    if (m_gate.Admit()) Flush(k);
  }
  // Hands the pending rows over with the progress position k (none: keep it).
  void Flush(int64_t k) {
    m_bridge.RunBlocking([&] { Deliver(k); });
  }
  // On the user-interface thread.
  void Deliver(int64_t k) {
    CTarvelListCtrl* list = m_window.ResultList();
    if (!m_pending.empty()) {
      list->Model().Append(m_pending);
      list->EnsureLastVisible();
      m_window.FoundCountLabel()->setText(QString::number(list->GetItemCount()));
    }
    if (k >= 0) m_window.Progress()->setValue(ProgressValue(k));
    m_gate.Handled();
    m_batches.fetch_add(1, std::memory_order_relaxed);
  }

 private:
  bkf& m_scanner;
  CTarvelDlgSearchBkfFiles& m_window;
  NotifyBridge& m_bridge;
  ProgressGate& m_gate;
  std::atomic<uint64_t>& m_batches;
  std::vector<SearchResultRow> m_pending;
  int64_t m_pathOf = kNoIndex;
  QString m_path;
};

}  // namespace

void CTarvelDlgSearchBkfFiles::OnSearch() {
  if (IsBusy()) return;
  m_lblTotal->hide();
  m_lblCount->hide();
  m_worker.Start([this] { RunSearch(); });
}

void CTarvelDlgSearchBkfFiles::RunSearch() {
  QString typed;
  m_bridge.RunBlocking([&] { typed = m_editPattern->text(); });
  const std::u16string pattern = quillon::SearchPattern(typed.toStdU16String());
  if (pattern.empty()) {
    MessageBox(quillon::Utf8ToUtf16(kSearchEmptyPatternText), ProductCaption(), MsgButtons::Ok, MsgIcon::Information);
    return;
  }

  bkf* scanner = nullptr;
  m_bridge.RunBlocking([&] {
    scanner = m_frame.Scanner();
    m_list->DeleteAllItems();
    SetRunningLayout(true);
    m_progress->setValue(0);
    m_progress->setRange(0, ProgressValue(m_nFoundCount));
    m_lblFound->show();
    m_lblFoundCount->setText(QStringLiteral("0"));
    m_lblFoundCount->show();
    m_state.m_bProcessRunning.store(1);
  });
  m_gate.Reset();

  std::optional<SearchRowSink> sink;
  if (scanner) {
    sink.emplace(*scanner, *this, m_bridge, m_gate, m_nBatches);
    try {
      quillon::SearchFoundFiles(*scanner, pattern, *sink, m_state);
    } catch (const std::exception&) {
      // Out of memory for more rows: the rows found so far stay listed.
    }
  }

  m_bridge.RunBlocking([&] {
    if (sink) sink->Deliver(-1);
    m_progress->setValue(ProgressValue(m_nFoundCount));
    m_progress->hide();
    m_progress->setValue(0);
    SetRunningLayout(false);
    m_lblFound->hide();
    m_lblFoundCount->hide();
    m_state.m_bProcessRunning.store(0);
    m_lblTotal->show();
    m_lblCount->setText(QString::number(m_list->GetItemCount()));
    m_lblCount->show();
  });
}

void CTarvelDlgSearchBkfFiles::RemoveRows() {
  if (IsBusy()) return;
  if (m_list->SelectedRows().empty()) {
    ShowMessage(this, QString::fromLatin1(kSearchNothingSelectedText));
    return;
  }
  {
    WaitCursor wait;
    m_list->DeleteSelectedRows();
  }
  if (m_list->GetItemCount() > 0) {
    m_lblCount->setText(QString::number(m_list->GetItemCount()));
    return;
  }
  m_lblTotal->hide();
  m_lblCount->hide();
  ShowMessage(this, QString::fromLatin1(kSearchListEmptiedText));
}
