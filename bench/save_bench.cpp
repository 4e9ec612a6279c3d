// Saving the files of a backup: the core save job against `tar x` of the
// same tree, measured side by side in one run; then the same files saved
// through the "Save recovered file(s)" window (offscreen) against the core
// job alone, how late a 10 ms timer on the user-interface thread fires while
// the window's job runs, and the memory the log holds after many saved files.
//
// save_bench [folders files-per-folder]  (default: the 1 GiB benchmark backup)

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "app_state.h"
#include "bench_support.h"
#include "bkf_writer.h"
#include "dialogs/prompt.h"
#include "gui_bench_support.h"
#include "log/output_pane.h"
#include "save/save_recovered_dlg.h"
#include "save_job.h"
#include "shell/app_settings.h"
#include "shell/application.h"
#include "shell/main_frame.h"
#include "text.h"
#include "tree/checked_files.h"

namespace {

constexpr int kProbeMs = 10;

// Answers every box with OK (or Yes) and no dialog.
class QuietPrompt : public IPrompt {
 public:
  MsgResult MessageBox(QWidget*, const QString&, const QString&, MsgButtons b, MsgIcon) override {
    return b == MsgButtons::YesNo ? MsgResult::Yes : MsgResult::Ok;
  }
  std::optional<QString> FileDialog(QWidget*, const FileDialogRequest&) override { return std::nullopt; }
  int RunDialog(QDialog&) override { return 0; }
  std::optional<int> PopupMenu(QWidget*, const PopupMenuRequest&) override { return std::nullopt; }
};

class NullSink : public quillon::ISaveJobSink {
 public:
  void LogLine(std::u16string_view) override { ++lines; }
  uint64_t lines = 0;
};

class NoQuestions : public quillon::ISaveJobPrompts {
 public:
  bool ConfirmStartsEarlier(const FoundFileRecord&) override { return true; }
  NextPartAnswer RequestNextPart() override { return NextPartAnswer::None(); }
};

std::vector<quillon::SaveEntry> Entries(bkf& s) {
  std::vector<quillon::SaveEntry> entries;
  for (int64_t i = 0; i < s.m_files.Count(); ++i) {
    const FoundFileRecord& r = s.m_files.Record(i);
    entries.push_back({(s.m_tree.IsValid(r.parent) ? s.m_tree.GetNodePath(r.parent) : u"") + s.m_files.Name(i),
                       quillon::ToDecimal16(r.dataLength), i});
  }
  return entries;
}

void Fresh(const std::filesystem::path& folder) {
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
}

double CoreJob(bkf& s, const std::vector<quillon::SaveEntry>& entries, const std::filesystem::path& to) {
  NullSink sink;
  NoQuestions prompts;
  SegmentedReader reader;
  AppState().m_bProcessRunning.store(1);
  return bench::Seconds([&] {
    quillon::RunSaveJob(s, entries, {quillon::Utf8ToUtf16(to.string()), true}, prompts, sink, reader);
  });
}

std::filesystem::path SmallBackup(int folders, int files) {
  const auto path = bench::DataDir() / ("save-" + std::to_string(folders) + "x" + std::to_string(files) + ".bkf");
  if (std::filesystem::exists(path)) return path;
  std::filesystem::create_directories(bench::DataDir());
  fixture::BkfWriter w;
  w.Tape(u"Benchmark media");
  w.Sset(1, u"Benchmark set");
  w.Volb(u"C:");
  const std::string content(2000, 'x');
  for (int d = 0; d < folders; ++d) {
    w.Dirb(u"Data\\Folder" + quillon::Utf8ToUtf16(std::to_string(d)));
    for (int f = 0; f < files; ++f) w.File(quillon::Utf8ToUtf16("file-" + std::to_string(f) + ".txt"), content);
  }
  w.Marker("ESET");
  w.WriteTo(path);
  return path;
}

}  // namespace

int main(int argc, char** argv) {
  QTemporaryDir home;
  if (!home.isValid()) return 1;
  bench::UsePrivateHome(home);
  CHalvernApp app(argc, argv);
  QuietPrompt prompt;
  SetPrompt(&prompt);
  AppSettings settings;
  CMainFrame frame(AppState(), settings);
  if (!bench::ShowMainFrame(frame, QSize(1600, 900))) return 1;

  const std::filesystem::path backup =
      argc > 2 ? SmallBackup(std::atoi(argv[1]), std::atoi(argv[2])) : bench::HealthyBackup();
  auto owned = std::make_unique<bkf>();
  bench::CountingNotify notify;
  owned->m_hNotifyWnd = &notify;
  AppState().m_bProcessRunning.store(1);
  owned->Scan(backup);
  AppState().m_bProcessRunning.store(0);
  bkf& s = *owned;
  const auto entries = Entries(s);
  uint64_t bytes = 0;
  for (const auto& e : entries) bytes += s.m_files.Record(e.record).dataLength;
  bench::RawReadMBps(backup);

  const auto work = bench::DataDir() / "save-bench-out";
  const auto core = work / "core";
  const auto tarOut = work / "tar";
  const auto archive = work / "tree.tar";
  std::printf("Saving %zu files (%.0f MiB) of %s in the hierarchy\n", entries.size(), double(bytes) / 1048576.0,
              backup.filename().c_str());

  // Core job and tar x of the same tree, side by side.
  Fresh(core);
  CoreJob(s, entries, core);  // warm-up, and the tree for tar
  std::filesystem::remove(archive);
  if (std::system(("tar cf '" + archive.string() + "' -C '" + core.string() + "' .").c_str()) != 0) return 1;
  double coreBest = 1e9, tarBest = 1e9;
  for (int round = 0; round < 2; ++round) {
    Fresh(core);
    coreBest = std::min(coreBest, CoreJob(s, entries, core));
    Fresh(tarOut);
    tarBest = std::min(tarBest, bench::Seconds([&] {
      if (std::system(("tar xf '" + archive.string() + "' -C '" + tarOut.string() + "'").c_str()) != 0) std::abort();
    }));
  }
  std::printf("  core save job:          %8.2f s\n", coreBest);
  std::printf("  tar x of the same tree: %8.2f s\n", tarBest);
  bench::PrintGoal("core job / tar x", coreBest / tarBest, "<=", 1.0);

  // The same files through the window.
  frame.SetScanner(std::move(owned));
  std::vector<CheckedFile> files;
  for (const auto& e : entries) files.push_back({e.displayText, e.sizeText, e.record});
  const auto window = work / "window";
  Fresh(window);
  CSaveRecoveredDlg dialog(frame, files);
  dialog.show();
  frame.OutputWnd()->ClearLog();
  const double residentBefore = bench::ResidentMiB();
  QElapsedTimer clock;
  std::vector<double> late;
  qint64 last = 0;
  QTimer probe;
  probe.setTimerType(Qt::PreciseTimer);
  probe.setInterval(kProbeMs);
  QObject::connect(&probe, &QTimer::timeout, [&] {
    const qint64 now = clock.nsecsElapsed();
    late.push_back(std::max(0.0, double(now - last) / 1e6 - kProbeMs));
    last = now;
  });
  dialog.DestinationEdit()->setText(QString::fromStdString(window.string()));
  clock.start();
  probe.start();
  dialog.StartSaveJob();
  while (dialog.JobRunning()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
  const double windowSeconds = double(clock.nsecsElapsed()) / 1e9;
  probe.stop();
  std::sort(late.begin(), late.end());
  const double lateMax = late.empty() ? 0 : late.back();
  const double lateP99 = late.empty() ? 0 : late[std::min(late.size() - 1, late.size() * 99 / 100)];
  const double logMiB = bench::ResidentMiB() - residentBefore;
  const qsizetype lines = frame.OutputWnd()->LogLines().size();
  std::printf("  through the window:     %8.2f s  (%llu deliveries of log lines)\n", windowSeconds,
              static_cast<unsigned long long>(dialog.LogDeliveries()));
  bench::PrintGoal("core / window", coreBest / windowSeconds, ">=", 0.8);
  std::printf("  10 ms timer late by:    99%% %.2f ms, max %.2f ms\n", lateP99, lateMax);
  bench::PrintGoal("timer late max (ms)", lateMax, "<=", 50);
  std::printf("  log: %lld lines, resident memory grew by %.1f MiB (%.0f bytes a saved file)\n",
              static_cast<long long>(lines), logMiB, logMiB * 1048576.0 / double(entries.size()));
  // QUILLON_SAVE_SHOT=file.png: a picture of the window after the job.
  if (const char* shot = std::getenv("QUILLON_SAVE_SHOT")) {
    QCoreApplication::processEvents();
    dialog.grab().save(QString::fromLocal8Bit(shot));
  }
  dialog.hide();
  std::filesystem::remove_all(work);
  SetPrompt(nullptr);
  return 0;
}
