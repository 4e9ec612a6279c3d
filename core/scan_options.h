#pragma once
// The settings of one scan, handed to the scanner as one value: the mode,
// the heuristic stream test of the Advanced mode and the byte range.

#include <cstdint>
#include <memory>

#include "app_state.h"

class bkf;

enum class ScanMode : int32_t { Standard = 1, Advanced = 2 };

struct ScanOptions {
  ScanMode mode = ScanMode::Standard;
  // Advanced mode: unknown stream ids of four digits or capitals count as
  // streams when a block's extent is measured.
  bool heuristic = false;
  // First position to scan and the position where the scan stops; 0 = the
  // start and the end of the file.
  uint64_t rangeStart = 0;
  uint64_t rangeEnd = 0;
};

// The options the recovery selection dialog left in the application state:
// its mode (Advanced when 2), its heuristic check box and, for a partial
// scan, its range as typed.
ScanOptions ScanOptionsFromState(const ApplicationState& state);

// A scanner of the options' mode, set up with them.
std::unique_ptr<bkf> MakeScanner(const ScanOptions& options, ApplicationState& state = AppState());
