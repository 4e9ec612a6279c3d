#include "cli_scan.h"

#include <exception>

#include "app_state.h"
#include "text.h"

CliScanResult RunCliScan(bkf& scanner, const std::string& file, const std::optional<ByteRange>& range,
                         TerminalNotify& notify, std::FILE* err) {
  scanner.m_hNotifyWnd = &notify;
  if (range) {
    ScanOptions options = scanner.Options();
    options.rangeStart = range->min;
    options.rangeEnd = range->max;
    scanner.SetOptions(options);
  }
  AppState().m_bProcessRunning.store(1);
  InstallInterruptStop();
  int ok = 0;
  try {
    ok = scanner.Scan(file);
  } catch (const std::exception& e) {
    AppState().m_bProcessRunning.store(0);
    notify.ClearProgress();
    std::fprintf(err, "quillon-cli: %s\n", e.what());
    std::fprintf(err, "Unknown Error Occurred, Error Code: ADBRECTD\n");
    return CliScanResult::ReadError;
  }
  const bool stopped = AppState().m_bProcessRunning.load() == 0;
  AppState().m_bProcessRunning.store(0);
  notify.ClearProgress();
  if (!ok) {
    if (!ReportIfCannotOpen(file, err)) std::fprintf(err, "quillon-cli: the file '%s' cannot be opened.\n", file.c_str());
    return CliScanResult::CannotOpen;
  }
  // Records whose data may be incomplete, and names that were replaced.
  for (const std::u16string& note : scanner.DamageNotes())
    std::fprintf(err, "quillon-cli: %s\n", quillon::Utf16ToUtf8(note).c_str());
  if (stopped) return CliScanResult::Stopped;
  // Only the root: not a single tape, set, volume, folder or file block.
  if (scanner.m_files.Count() == 0 && scanner.m_tree.Count() <= 1) {
    std::fprintf(err, "quillon-cli: no backup blocks found in '%s'\n", file.c_str());
    return CliScanResult::NothingFound;
  }
  return CliScanResult::Done;
}
