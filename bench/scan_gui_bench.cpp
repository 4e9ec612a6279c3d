// The scan run through the desktop program against the scanner alone, on
// inputs whose windows hold no tag (every such window sends a progress
// message that no per-thousandth rule limits) and on a healthy backup: the
// time of the whole run, the progress messages the user-interface thread
// handles per second, and how late a 10 ms timer on that thread fires while
// the scan runs (the time a click or key press waits at most, roughly).
// Runs in the real main window, offscreen unless a display is asked for.

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "shell/app_settings.h"
#include "app_state.h"
#include "dialogs/auto_open_prompt.h"
#include "bench_support.h"
#include "gui_bench_support.h"
#include "shell/application.h"
#include "shell/main_frame.h"
#include "scanner.h"

namespace {

constexpr int kProbeMs = 10;

struct WindowRun {
  double seconds = 0;
  uint64_t progress = 0;     // progress messages handled
  double lateMeanMs = 0;     // how late the probe timer fired, on average
  double lateP99Ms = 0;
  double lateMaxMs = 0;
};

WindowRun ScanThroughWindow(CMainFrame& frame, AutoOpenPrompt& prompt, const std::filesystem::path& path) {
  prompt.SetPath(QString::fromStdString(path.string()));
  WindowRun run;
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
  QEventLoop loop;
  QTimer poll;
  poll.setInterval(2);
  QObject::connect(&poll, &QTimer::timeout, [&] {
    if (!frame.ScanWorkerRunning()) loop.quit();
  });

  const uint64_t before = frame.ProgressMessagesHandled();
  clock.start();
  frame.OnFileOpen();
  last = clock.nsecsElapsed();
  probe.start();
  poll.start();
  loop.exec();
  run.seconds = double(clock.nsecsElapsed()) / 1e9;
  probe.stop();
  frame.WaitForScanWorker();
  run.progress = frame.ProgressMessagesHandled() - before;

  if (!late.empty()) {
    double sum = 0;
    for (double l : late) sum += l;
    run.lateMeanMs = sum / double(late.size());
    std::sort(late.begin(), late.end());
    run.lateP99Ms = late[std::min(late.size() - 1, late.size() * 99 / 100)];
    run.lateMaxMs = late.back();
  }
  return run;
}

double ScanAlone(const std::filesystem::path& path, uint64_t& progress) {
  bench::CountingNotify notify;
  bkf scanner;
  scanner.m_hNotifyWnd = &notify;
  AppState().m_bProcessRunning.store(1);
  const double seconds = bench::Seconds([&] { scanner.Scan(path); });
  AppState().m_bProcessRunning.store(0);
  progress = notify.progress;
  return seconds;
}

// A name the Open command accepts for an input without ".bkf" in it.
std::filesystem::path AsBkf(const std::filesystem::path& path) {
  const std::filesystem::path link = path.string() + ".bkf";
  std::error_code ec;
  if (!std::filesystem::exists(link, ec)) std::filesystem::create_symlink(path.filename(), link, ec);
  return link;
}

// Zeros without a block on disk.
std::filesystem::path SparseZeros(uint64_t size) {
  const auto path = bench::DataDir() / ("zeros-" + std::to_string(size >> 20) + "mib.bkf");
  std::filesystem::create_directories(bench::DataDir());
  if (!std::filesystem::exists(path) || std::filesystem::file_size(path) != size) {
    std::filesystem::remove(path);
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (out) std::fclose(out);
    std::filesystem::resize_file(path, size);
  }
  return path;
}

void Report(CMainFrame& frame, AutoOpenPrompt& prompt, const char* label, const std::filesystem::path& path) {
  // Both runs read from the page cache.
  bench::RawReadMBps(path);
  uint64_t aloneProgress = 0;
  const double alone = ScanAlone(path, aloneProgress);
  const WindowRun run = ScanThroughWindow(frame, prompt, path);
  const double mib = double(std::filesystem::file_size(path)) / (1024.0 * 1024.0);
  std::printf("%s (%.0f MiB)\n", label, mib);
  std::printf("  scanner alone:            %8.2f s  (%llu progress messages sent)\n", alone,
              static_cast<unsigned long long>(aloneProgress));
  std::printf("  through the main window:  %8.2f s  (window/alone %.2f)\n", run.seconds, run.seconds / alone);
  std::printf("  progress handled:         %8llu  (%.0f per second)\n", static_cast<unsigned long long>(run.progress),
              double(run.progress) / run.seconds);
  std::printf("  10 ms timer late by:      mean %.2f ms, 99%% %.2f ms, max %.2f ms\n", run.lateMeanMs,
              run.lateP99Ms, run.lateMaxMs);
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  QTemporaryDir home;
  if (!home.isValid()) return 1;
  bench::UsePrivateHome(home);
  CHalvernApp app(argc, argv);
  AutoOpenPrompt prompt;
  SetPrompt(&prompt);

  AppSettings settings;
  CMainFrame frame(AppState(), settings);
  if (!bench::ShowMainFrame(frame, QSize(1600, 900))) return 1;

  // scan_gui_bench [MiB of zeros [zeros only]]
  const uint64_t zerosMiB = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 4096;
  Report(frame, prompt, "Zeros, sparse", SparseZeros(zerosMiB << 20));
  if (argc <= 2) {
    Report(frame, prompt, "Random bytes", AsBkf(bench::RandomBytes()));
    Report(frame, prompt, "Healthy backup", bench::HealthyBackup());
  }
  SetPrompt(nullptr);
  return 0;
}
