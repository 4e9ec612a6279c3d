#include <cstdio>

#include "cli.h"
#include "cli_scan.h"
#include "scanner.h"
#include "terminal_notify.h"
#include "tree_print.h"

int RunScanCommand(const std::vector<std::string>& args, std::FILE* out, std::FILE* err) {
  bool json = false;
  std::optional<ByteRange> range;
  std::string file;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--json") {
      json = true;
    } else if (a == "--range") {
      if (i + 1 >= args.size() || !(range = ParseRange(args[i + 1]))) {
        std::fprintf(err, "quillon-cli: --range needs MIN:MAX in bytes\n\n%s", UsageText().c_str());
        return kExitUsage;
      }
      ++i;
    } else if (a == "--help") {
      std::fprintf(out, "%s", UsageText().c_str());
      return kExitOk;
    } else if (!a.empty() && a[0] == '-') {
      std::fprintf(err, "quillon-cli: unknown option '%s'\n\n%s", a.c_str(), UsageText().c_str());
      return kExitUsage;
    } else if (file.empty()) {
      file = a;
    } else {
      std::fprintf(err, "quillon-cli: more than one file given\n\n%s", UsageText().c_str());
      return kExitUsage;
    }
  }
  if (file.empty()) {
    std::fprintf(err, "quillon-cli: no BKF file given\n\n%s", UsageText().c_str());
    return kExitUsage;
  }

  TerminalNotify notify(err);
  bkf scanner;
  const CliScanResult result = RunCliScan(scanner, file, range, notify, err);
  if (result == CliScanResult::CannotOpen) return kExitCannotOpen;
  if (result == CliScanResult::ReadError) {
    std::fputs((json ? FormatTreeJson(scanner) : FormatTreeText(scanner)).c_str(), out);
    return kExitCannotOpen;
  }
  const bool stopped = result == CliScanResult::Stopped;
  if (stopped) std::fprintf(err, "Scan stopped; showing what was found so far.\n");
  std::fputs((json ? FormatTreeJson(scanner) : FormatTreeText(scanner)).c_str(), out);
  if (!json)
    std::fprintf(out, "Total number of files found: %llu\n",
                 static_cast<unsigned long long>(scanner.m_nFilesFound));
  return kExitOk;
}
