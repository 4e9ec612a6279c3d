// The search window over a result of 200 000 records, searched for "*.*":
// the time to the final count, how late a 10 ms timer on the user-interface
// thread fires meanwhile (the time a click waits at most, roughly), the
// batches of rows handed over and the memory the rows add. Then saving and
// loading a snapshot of that result from the window (both on the
// user-interface thread: the time printed is the time the window is frozen).
// Runs in the real main window, offscreen unless a display is asked for.

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "app_state.h"
#include "bench_support.h"
#include "bkf_writer.h"
#include "dialogs/prompt.h"
#include "file_search.h"
#include "gui_bench_support.h"
#include "scanner.h"
#include "search/search_dlg.h"
#include "search/search_result_list.h"
#include "shell/app_settings.h"
#include "shell/main_frame.h"
#include "snapshot/snapshot_commands.h"

namespace {

constexpr int64_t kFiles = 200000;
constexpr int kFolders = 200;
constexpr int kProbeMs = 10;
constexpr const char16_t* kExtensions[] = {u".txt", u".jpg", u".doc", u".pdf", u".dat", u".cpp", u".html", u".zip"};

// ROOT > Media > SET > C: > 200 folders of 1 000 files each, the backup file
// open as after a scan.
std::unique_ptr<bkf> BigResult(const std::filesystem::path& backup) {
  auto scanner = std::make_unique<bkf>();
  CTarvelBKFTreeVectorClass& tree = scanner->m_tree;
  const int64_t volume = tree.AddNode(u"C:", tree.AddNode(u"SET 1 :Daily", tree.AddNode(u"Media 1", 0)));
  for (int f = 0; f < kFolders; ++f) {
    const std::string folderDigits = std::to_string(f);
    const int64_t folder = tree.AddNode(u"Folder " + std::u16string(folderDigits.begin(), folderDigits.end()), volume);
    tree.Node(folder).firstFile = scanner->m_files.Count();
    for (int64_t i = 0; i < kFiles / kFolders; ++i) {
      FoundFileRecord r = NewFoundFileRecord();
      r.parent = folder;
      r.kind = kFileKind;
      r.index = scanner->m_files.Count();
      r.dataPosition = 1024;
      r.dataLength = uint64_t(i % 5000);
      const std::string digits = std::to_string(r.index);
      scanner->m_files.Append(r, u"document-" + std::u16string(digits.begin(), digits.end()) +
                                     kExtensions[size_t(r.index) % std::size(kExtensions)]);
    }
    tree.Node(folder).lastFile = scanner->m_files.Count() - 1;
  }
  scanner->m_file.Open(backup);
  return scanner;
}

// Answers every file dialog with one path and every message box with OK.
class BenchPrompt : public IPrompt {
 public:
  QString path;
  int messages = 0;
  MsgResult MessageBox(QWidget*, const QString&, const QString&, MsgButtons, MsgIcon) override {
    ++messages;
    return MsgResult::Ok;
  }
  std::optional<QString> FileDialog(QWidget*, const FileDialogRequest&) override { return path; }
  int RunDialog(QDialog&) override { return 0; }
  std::optional<int> PopupMenu(QWidget*, const PopupMenuRequest&) override { return std::nullopt; }
};

struct Lateness {
  double mean = 0, p99 = 0, max = 0;
};

Lateness Summarise(std::vector<double> late) {
  Lateness l;
  if (late.empty()) return l;
  std::sort(late.begin(), late.end());
  for (double v : late) l.mean += v;
  l.mean /= double(late.size());
  l.p99 = late[std::min(late.size() - 1, size_t(double(late.size()) * 0.99))];
  l.max = late.back();
  return l;
}

}  // namespace

int main(int argc, char** argv) {
  QTemporaryDir home;
  if (!home.isValid()) return 1;
  bench::UsePrivateHome(home);
  QApplication app(argc, argv);

  ApplicationState state;
  SetAppState(&state);
  AppSettings settings;
  BenchPrompt prompt;
  SetPrompt(&prompt);
  CMainFrame frame(state, settings);
  if (!bench::ShowMainFrame(frame, QSize(1280, 800))) return 1;

  const std::filesystem::path backup = std::filesystem::path(home.path().toStdString()) / "tiny.bkf";
  fixture::BkfWriter tiny;
  tiny.Tape(u"Media 1");
  tiny.WriteTo(backup);
  frame.SetScanner(BigResult(backup));
  state.m_bProcessRunning.store(1);
  frame.FillFirstTreeLevel();
  state.m_bProcessRunning.store(0);

  // The same probe with nothing running: how late the timer fires on this
  // machine anyway (other programs share its processors).
  {
    QElapsedTimer clock;
    std::vector<double> lateness;
    qint64 last = 0;
    QTimer probe;
    probe.setTimerType(Qt::PreciseTimer);
    probe.setInterval(kProbeMs);
    QObject::connect(&probe, &QTimer::timeout, [&] {
      const qint64 now = clock.nsecsElapsed();
      lateness.push_back(std::max(0.0, double(now - last) / 1e6 - kProbeMs));
      last = now;
    });
    clock.start();
    probe.start();
    while (clock.elapsed() < 1000) QApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 50);
    const Lateness idle = Summarise(lateness);
    std::printf("Idle window, 10 ms timer late, mean/p99/max: %.1f / %.1f / %.1f ms (machine load reference)\n",
                idle.mean, idle.p99, idle.max);
  }
  {
    const double alone = [&] {
      ApplicationState running;
      running.m_bProcessRunning.store(1);
      struct Rows : quillon::IFileSearchSink {
        bkf* scanner;
        std::vector<std::u16string> rows;
        void OnMatch(int64_t record) override { rows.push_back(quillon::SearchRowText(*scanner, record)); }
      } rows;
      rows.scanner = frame.Scanner();
      return bench::Seconds([&] { quillon::SearchFoundFiles(*frame.Scanner(), u"*.*", rows, running); });
    }();
    std::printf("Core search alone, row texts made one by one: %.3f s\n", alone);
  }

  std::printf("Search window, %lld records in %d folders, pattern \"*.*\"\n", static_cast<long long>(kFiles), kFolders);
  double searchSeconds = 0;
  Lateness late;
  {
    CTarvelDlgSearchBkfFiles window(frame, state);
    window.resize(860, 520);
    window.show();
    QApplication::processEvents();
    const double before = bench::ResidentMiB();

    QElapsedTimer clock;
    std::vector<double> lateness;
    qint64 last = 0;
    QTimer probe;
    probe.setTimerType(Qt::PreciseTimer);
    probe.setInterval(kProbeMs);
    QObject::connect(&probe, &QTimer::timeout, [&] {
      const qint64 now = clock.nsecsElapsed();
      lateness.push_back(std::max(0.0, double(now - last) / 1e6 - kProbeMs));
      last = now;
    });
    window.PatternEdit()->setText(QStringLiteral("*.*"));
    clock.start();
    probe.start();
    window.SearchButton()->click();
    while (window.WorkerRunning() || !window.CountLabel()->isVisible())
      QApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 50);
    searchSeconds = double(clock.nsecsElapsed()) / 1e9;
    probe.stop();
    window.WaitForWorker();
    QApplication::processEvents();
    late = Summarise(lateness);
    const double added = bench::ResidentMiB() - before;

    std::printf("  time to the final count:          %7.3f s  (count %s)\n", searchSeconds,
                qPrintable(window.CountLabel()->text()));
    std::printf("  batches of rows handed over:      %7llu\n",
                static_cast<unsigned long long>(window.BatchesHandled()));
    std::printf("  10 ms timer late, mean/p99/max:   %7.1f / %.1f / %.1f ms  (%zu fires)\n", late.mean, late.p99,
                late.max, lateness.size());
    std::printf("  memory the rows add:              %7.1f MiB resident (%.0f bytes per row; rows hold %.1f MiB)\n",
                added, added * 1024 * 1024 / double(kFiles),
                double(window.ResultList()->Model().MemoryBytes()) / (1024.0 * 1024.0));
  }

  const QString snapshot = home.filePath(QStringLiteral("big.QUILLONMOSSEL"));
  prompt.path = snapshot;
  const double saveSeconds = bench::Seconds([&] { SaveRecoverySnapshot(frame, state); });
  std::error_code error;
  const double snapshotMiB = double(std::filesystem::file_size(snapshot.toStdString(), error)) / (1024.0 * 1024.0);
  const double loadSeconds = bench::Seconds([&] { LoadRecoverySnapshot(frame, state); });
  const bool loaded = frame.Scanner() && frame.Scanner()->m_files.Count() == kFiles && prompt.messages == 0;
  std::printf("Snapshot of %lld records from the window (%.1f MiB)\n", static_cast<long long>(kFiles), snapshotMiB);
  std::printf("  save (window frozen):             %7.3f s\n", saveSeconds);
  std::printf("  load (window frozen):             %7.3f s  (%s)\n", loadSeconds, loaded ? "loaded" : "NOT LOADED");

  bench::PrintGoal("search *.* over 200 000 records (s)", searchSeconds, "<", 2.0);
  bench::PrintGoal("10 ms timer late at most during the search (ms)", late.max, "<", 50.0);
  bench::PrintGoal("snapshot save from the window (s)", saveSeconds, "<", 1.0);
  bench::PrintGoal("snapshot load from the window (s)", loadSeconds, "<", 1.0);
  std::fflush(stdout);
  SetPrompt(nullptr);
  SetAppState(nullptr);
  return loaded ? 0 : 1;
}
