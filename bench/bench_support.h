#pragma once
// Shared pieces of the benchmarks: cached large inputs, timing, and peak
// memory measured in a child process.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "notify.h"

namespace bench {

// build/bench-data: inputs are made once and kept there.
std::filesystem::path DataDir();
// About 1 GiB: one tape, one set, one volume, ~200 folders, ~20 000 files of
// text-like content laid out as NTBackup lays them out.
std::filesystem::path HealthyBackup();
// 1 GiB of pseudo-random bytes.
std::filesystem::path RandomBytes();
// 200 000 small files in 2 000 folders.
std::filesystem::path ManySmallFiles();

double Seconds(const std::function<void()>& work);
// Reads the file sequentially with a 1 MiB buffer; returns MB/s (10^6 bytes).
double RawReadMBps(const std::filesystem::path& path);
double MBps(uint64_t bytes, double seconds);
// The middle value (the upper one of the two middle values of an even count).
double Median(std::vector<double> values);

// Runs work in a forked child; returns its seconds and peak resident memory.
struct ChildResult {
  double seconds = 0;
  double peakMiB = 0;
  double extra = 0;  // a figure the work reports (work's return value)
  double cpuSeconds = 0;  // processor time of the child (user and system)
};
ChildResult InChild(const std::function<double()>& work);

// Resident memory of this process now, in MiB.
double ResidentMiB();

// A receiver that frees progress messages and counts them.
class CountingNotify : public INotifyTarget {
 public:
  intptr_t SendMessage(uint32_t message, uintptr_t wParam, intptr_t lParam) override;
  void PostMessage(uint32_t message, uintptr_t wParam, intptr_t lParam) override;
  MsgResult MessageBox(const std::u16string&, const std::u16string&, MsgButtons, MsgIcon) override {
    return MsgResult::Ok;
  }
  uint64_t progress = 0;
};

void PrintGoal(const std::string& what, double value, const std::string& comparison, double goal);

}  // namespace bench
