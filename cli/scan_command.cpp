#include <cstdio>
#include <memory>

#include "app_state.h"
#include "cli.h"
#include "cli_scan.h"
#include "scan_options.h"
#include "scanner.h"
#include "snapshot.h"
#include "terminal_notify.h"
#include "text.h"
#include "tree_print.h"

namespace {
enum class Format { Text, Json, JsonTree };

struct ScanArgs {
  Format format = Format::Text;
  bool advanced = false;
  bool heuristic = false;
  std::optional<ByteRange> range;
  std::string file;
  std::string saveSnapshot;
  std::string snapshot;
};

int Usage(std::FILE* err, const std::string& problem) { return ReportUsageError(err, problem); }

void PrintResult(const bkf& scanner, Format format, std::FILE* out) {
  switch (format) {
    case Format::Json: std::fputs(FormatTreeJson(scanner).c_str(), out); return;
    case Format::JsonTree: std::fputs(FormatTreeJsonNested(scanner).c_str(), out); return;
    case Format::Text: break;
  }
  std::fputs(FormatTreeText(scanner).c_str(), out);
  std::fprintf(out, "Total number of files found: %llu\n", static_cast<unsigned long long>(scanner.m_files.Count()));
}
}  // namespace

std::unique_ptr<bkf> MakeScanner(bool advanced, bool heuristic) {
  ScanOptions options;
  options.mode = advanced ? ScanMode::Advanced : ScanMode::Standard;
  options.heuristic = heuristic;
  return MakeScanner(options);
}

int LoadSnapshotForCli(const std::string& path, std::unique_ptr<bkf>& scanner, std::FILE* err) {
  TerminalNotify notify(err);
  std::u16string bkfPath;
  AppState().m_bProcessRunning.store(1);
  const int ok = LoadSnapshot(path, bkfPath, scanner, &notify);
  AppState().m_bProcessRunning.store(0);
  if (!ok) {
    std::fprintf(err, "%s\n", quillon::Utf16ToUtf8(kSnapshotAborted).c_str());
    return kExitCannotOpen;
  }
  return kExitOk;
}

int RunScanCommand(const std::vector<std::string>& args, std::FILE* out, std::FILE* err) {
  ScanArgs o;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto value = [&](std::string& into) {
      if (i + 1 >= args.size()) return false;
      into = args[++i];
      return true;
    };
    if (a == "--json" || a == "--json-tree") {
      const Format format = a == "--json" ? Format::Json : Format::JsonTree;
      if (o.format != Format::Text && o.format != format) return Usage(err, "--json and --json-tree exclude each other");
      o.format = format;
    } else if (a == "--advanced") {
      o.advanced = true;
    } else if (a == "--heuristic") {
      o.heuristic = true;
    } else if (a == "--range") {
      if (i + 1 >= args.size() || !(o.range = ParseRange(args[i + 1])))
        return Usage(err, kRangeProblem);
      ++i;
    } else if (a == "--save-snapshot") {
      if (!value(o.saveSnapshot)) return Usage(err, "--save-snapshot needs a file name");
    } else if (a == "--snapshot") {
      if (!value(o.snapshot)) return Usage(err, "--snapshot needs a file name");
    } else if (a == "--help") {
      std::fprintf(out, "%s", UsageText().c_str());
      return kExitOk;
    } else if (!a.empty() && a[0] == '-') {
      return Usage(err, "unknown option '" + a + "'");
    } else if (o.file.empty()) {
      o.file = a;
    } else {
      return Usage(err, "more than one file given");
    }
  }
  if (!o.snapshot.empty()) {
    if (!o.file.empty() || o.range || o.advanced || !o.saveSnapshot.empty())
      return Usage(err, "--snapshot takes no BKF file and no scan options");
    std::unique_ptr<bkf> scanner;
    const int status = LoadSnapshotForCli(o.snapshot, scanner, err);
    if (status == kExitOk) PrintResult(*scanner, o.format, out);
    return status;
  }
  if (o.file.empty()) return Usage(err, "no BKF file given");

  TerminalNotify notify(err);
  std::unique_ptr<bkf> scanner = MakeScanner(o.advanced, o.heuristic);
  const CliScanResult result = RunCliScan(*scanner, o.file, o.range, notify, err);
  if (result == CliScanResult::CannotOpen || result == CliScanResult::NothingFound) return kExitCannotOpen;
  if (result == CliScanResult::ReadError) {
    PrintResult(*scanner, o.format, out);
    return kExitCannotOpen;
  }
  const bool stopped = result == CliScanResult::Stopped;
  if (stopped) std::fprintf(err, "Scan stopped; showing what was found so far.\n");
  if (!o.saveSnapshot.empty()) {
    AppState().m_bProcessRunning.store(1);
    const SnapshotWriteResult saved = WriteSnapshot(*scanner, o.saveSnapshot);
    AppState().m_bProcessRunning.store(0);
    if (!saved.ok) {
      std::fprintf(err, "quillon-cli: the snapshot '%s' cannot be written: %s.\n", o.saveSnapshot.c_str(),
                   saved.reason.c_str());
      PrintResult(*scanner, o.format, out);
      return kExitCannotOpen;
    }
  }
  AppState().m_bProcessRunning.store(0);
  PrintResult(*scanner, o.format, out);
  // A script tells a partial result by the status, as after a stopped extract.
  return stopped ? kExitStopped : kExitOk;
}
