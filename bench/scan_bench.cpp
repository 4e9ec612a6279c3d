// Scan speed against raw read speed, and the memory of a scan result.
#include <algorithm>
#include <cstdio>
#include <memory>

#include "app_state.h"
#include "bench_support.h"
#include "scanner_advance.h"

namespace {
struct ScanFigures {
  double mbps;
  double peakMiB;
  uint64_t files;
};

ScanFigures ScanOnce(const std::filesystem::path& path, bool advanced = false) {
  const uint64_t size = std::filesystem::file_size(path);
  uint64_t files = 0;
  const auto child = bench::InChild([&] {
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

// Best of three runs of each, so a busy moment of the machine does not decide.
// Returns the scan/read ratios of both modes.
struct Ratios {
  double standard;
  double advanced;
};
Ratios Report(const char* label, const std::filesystem::path& path) {
  double raw = 0, scanMbps = 0, peak = 0, advMbps = 0, advPeak = 0;
  uint64_t files = 0, advFiles = 0;
  for (int run = 0; run < 3; ++run) {
    raw = std::max(raw, bench::RawReadMBps(path));
    const ScanFigures scan = ScanOnce(path);
    if (scan.mbps > scanMbps) scanMbps = scan.mbps, peak = scan.peakMiB, files = scan.files;
    const ScanFigures adv = ScanOnce(path, true);
    if (adv.mbps > advMbps) advMbps = adv.mbps, advPeak = adv.peakMiB, advFiles = adv.files;
  }
  std::printf("%s (%s, %.0f MiB)\n", label, path.filename().c_str(),
              double(std::filesystem::file_size(path)) / (1024.0 * 1024.0));
  std::printf("  raw sequential read: %9.1f MB/s\n", raw);
  std::printf("  Standard scan:       %9.1f MB/s  (%llu files found)\n", scanMbps,
              static_cast<unsigned long long>(files));
  std::printf("  scan/read ratio:     %9.3f\n", scanMbps / raw);
  std::printf("  scan peak memory:    %9.1f MiB\n", peak);
  std::printf("  Advanced scan:       %9.1f MB/s  (%llu files found, peak %.1f MiB)\n", advMbps,
              static_cast<unsigned long long>(advFiles), advPeak);
  std::printf("  Advanced scan/read ratio:    %.3f\n", advMbps / raw);
  std::printf("  Advanced/Standard scan time: %.3f\n", scanMbps / advMbps);
  return {scanMbps / raw, advMbps / raw};
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
