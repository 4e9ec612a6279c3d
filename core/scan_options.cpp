#include "scan_options.h"

#include "scanner_advance.h"
#include "text.h"

ScanOptions ScanOptionsFromState(const ApplicationState& state) {
  ScanOptions options;
  options.mode = state.m_nRecoveryMode == 2 ? ScanMode::Advanced : ScanMode::Standard;
  options.heuristic = state.m_bHeuristicScan != 0;
  if (state.m_bPartialScan == 1) {
    options.rangeStart = quillon::ParseDecimalU64(state.m_strRangeMin);
    options.rangeEnd = quillon::ParseDecimalU64(state.m_strRangeMax);
  }
  return options;
}

std::unique_ptr<bkf> MakeScanner(const ScanOptions& options, ApplicationState& state) {
  std::unique_ptr<bkf> scanner;
  if (options.mode == ScanMode::Advanced)
    scanner = std::make_unique<bkfAdvance>(state);
  else
    scanner = std::make_unique<bkf>(state);
  scanner->SetOptions(options);
  return scanner;
}
