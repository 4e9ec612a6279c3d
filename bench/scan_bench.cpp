// Scan speed against raw read speed, and the memory of a scan result.
#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

#include "app_state.h"
#include "bench_support.h"
#include "look_ahead_search.h"
#include "scanner_advance.h"

namespace {
struct ScanFigures {
  double mbps;
  double peakMiB;
  uint64_t files;
};

ScanFigures ScanOnce(const std::filesystem::path& path, bool advanced = false, bool oneProcessor = false) {
  const uint64_t size = std::filesystem::file_size(path);
  uint64_t files = 0;
  const auto child = bench::InChild([&] {
    if (oneProcessor) UseLookAhead({false});
    bench::CountingNotify notify;
    std::unique_ptr<bkf> scanner = advanced ? std::make_unique<bkfAdvance>() : std::make_unique<bkf>();
    scanner->m_hNotifyWnd = &notify;
    AppState().m_bProcessRunning.store(1);
    scanner->Scan(path);
    return double(scanner->m_nFilesFound);
  });
  files = uint64_t(child.extra);
  return {bench::MBps(size, child.seconds), child.peakMiB, files};
}

// Each scan is timed right after a raw read of the same file, and the ratio
// of that pair is kept: the speed of this machine's memory drifts from one
// moment to the next, so a pair compares like with like. Five pairs of each
// mode; the median ratio is the figure.
struct Ratios {
  double standard;
  double advanced;
};
Ratios Report(const char* label, const std::filesystem::path& path) {
  double raw = 0, scanMbps = 0, peak = 0, advMbps = 0, advPeak = 0;
  uint64_t files = 0, advFiles = 0;
  std::vector<double> ratios, advRatios;
  for (int run = 0; run < 5; ++run) {
    const double rawNow = bench::RawReadMBps(path);
    raw = std::max(raw, rawNow);
    const ScanFigures scan = ScanOnce(path);
    ratios.push_back(scan.mbps / rawNow);
    if (scan.mbps > scanMbps) scanMbps = scan.mbps, peak = scan.peakMiB, files = scan.files;
    const double rawAgain = bench::RawReadMBps(path);
    raw = std::max(raw, rawAgain);
    const ScanFigures adv = ScanOnce(path, true);
    advRatios.push_back(adv.mbps / rawAgain);
    if (adv.mbps > advMbps) advMbps = adv.mbps, advPeak = adv.peakMiB, advFiles = adv.files;
  }
  const double ratio = bench::Median(ratios), advRatio = bench::Median(advRatios);
  std::printf("%s (%s, %.0f MiB)\n", label, path.filename().c_str(),
              double(std::filesystem::file_size(path)) / (1024.0 * 1024.0));
  std::printf("  raw sequential read: %9.1f MB/s\n", raw);
  std::printf("  Standard scan:       %9.1f MB/s  (%llu files found)\n", scanMbps,
              static_cast<unsigned long long>(files));
  std::printf("  scan/read ratio:     %9.3f  (median of pairs; best scan / best read %.3f)\n", ratio,
              scanMbps / raw);
  std::printf("  scan peak memory:    %9.1f MiB\n", peak);
  std::printf("  Advanced scan:       %9.1f MB/s  (%llu files found, peak %.1f MiB)\n", advMbps,
              static_cast<unsigned long long>(advFiles), advPeak);
  std::printf("  Advanced scan/read ratio:    %.3f  (median of pairs; best scan / best read %.3f)\n", advRatio,
              advMbps / raw);
  std::printf("  Advanced/Standard scan time: %.3f\n", scanMbps / advMbps);
  return {ratio, advRatio};
}
// The same scans with the search ahead switched off, as on a machine with
// one processor (for comparison; no goal).
void OneProcessor(const std::filesystem::path& path) {
  std::vector<double> ratios, advRatios;
  for (int run = 0; run < 3; ++run) {
    const double raw = bench::RawReadMBps(path);
    ratios.push_back(ScanOnce(path, false, true).mbps / raw);
    const double rawAgain = bench::RawReadMBps(path);
    advRatios.push_back(ScanOnce(path, true, true).mbps / rawAgain);
  }
  std::printf("  without the search ahead (one processor): scan/read %.3f Standard, %.3f Advanced\n",
              bench::Median(ratios), bench::Median(advRatios));
}
}  // namespace

int main() {
  const auto healthy = bench::HealthyBackup();
  const auto random = bench::RandomBytes();
  const auto many = bench::ManySmallFiles();

  bench::PrintGoal("healthy scan/read (faster than reading)", Report("Healthy backup", healthy).standard, ">=", 1.0);
  const Ratios onRandom = Report("Random bytes", random);
  bench::PrintGoal("random Standard scan/read", onRandom.standard, ">=", 0.8);
  bench::PrintGoal("random Advanced scan/read", onRandom.advanced, ">=", 0.8);
  OneProcessor(random);

  const auto result = bench::InChild([&] {
    const double before = bench::ResidentMiB();
    bench::CountingNotify notify;
    auto* scanner = new bkf;
    scanner->m_hNotifyWnd = &notify;
    AppState().m_bProcessRunning.store(1);
    scanner->Scan(many);
    const double held = double(scanner->ResultMemoryBytes()) / (1024.0 * 1024.0);
    const double after = bench::ResidentMiB();
    std::printf("Scan result of %llu files in %lld nodes\n",
                static_cast<unsigned long long>(scanner->m_nFilesFound),
                static_cast<long long>(scanner->m_tree.Count()));
    std::printf("  held by the lists and names: %.1f MiB\n", held);
    std::printf("  resident growth:             %.1f MiB\n", after - before);
    std::fflush(stdout);
    return after - before;
  });
  bench::PrintGoal("memory of 200 000 files (MiB)", result.extra, "<", 100);
  return 0;
}
