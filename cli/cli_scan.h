#pragma once
// The Standard scan that the commands run before they print or save: the
// progress bar on stderr, Ctrl-C as the stop request, errors reported.

#include <cstdio>
#include <optional>
#include <string>

#include "cli.h"
#include "scanner.h"
#include "terminal_notify.h"

enum class CliScanResult {
  Done,
  Stopped,     // Ctrl-C; what was found so far is in the scanner
  CannotOpen,  // reported on err, with the reason
  NothingFound,  // not a backup: no block was found; reported on err
  ReadError,   // reported on err; what was found so far is in the scanner
};

// Scans `file` with `scanner`, the whole file or `range`. The running flag is
// set for the scan and cleared after it.
CliScanResult RunCliScan(bkf& scanner, const std::string& file, const std::optional<ByteRange>& range,
                         TerminalNotify& notify, std::FILE* err);
