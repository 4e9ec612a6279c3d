// quillon-cli search: lists the found files whose names match a pattern, as
// the search window lists them.
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "app_state.h"
#include "cli.h"
#include "cli_scan.h"
#include "file_search.h"
#include "file_type.h"
#include "match_pattern.h"
#include "terminal_notify.h"
#include "text.h"
#include "tree_print.h"

namespace {

struct SearchArgs {
  std::string pattern;
  bool havePattern = false;
  std::string file;
  std::string snapshot;
  bool json = false;
  bool advanced = false;
  bool heuristic = false;
  std::optional<ByteRange> range;
};

int UsageError(std::FILE* err, const std::string& message) {
  std::fprintf(err, "quillon-cli: %s\n\n%s", message.c_str(), UsageText().c_str());
  return kExitUsage;
}

}  // namespace

int RunSearchCommand(const std::vector<std::string>& args, std::FILE* out, std::FILE* err) {
  SearchArgs a;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const bool hasValue = i + 1 < args.size();
    if (arg == "--json") {
      a.json = true;
    } else if (arg == "--advanced") {
      a.advanced = true;
    } else if (arg == "--heuristic") {
      a.heuristic = true;
    } else if (arg == "--range") {
      if (!hasValue || !(a.range = ParseRange(args[i + 1]))) return UsageError(err, "--range needs MIN:MAX in bytes");
      ++i;
    } else if (arg == "--snapshot") {
      if (!hasValue) return UsageError(err, "--snapshot needs a file name");
      a.snapshot = args[++i];
    } else if (arg == "--help") {
      std::fprintf(out, "%s", UsageText().c_str());
      return kExitOk;
    } else if (arg.size() > 1 && arg[0] == '-' && !a.havePattern) {
      return UsageError(err, "unknown option '" + arg + "'");
    } else if (!a.havePattern) {
      a.pattern = arg;
      a.havePattern = true;
    } else if (!arg.empty() && arg[0] == '-') {
      return UsageError(err, "unknown option '" + arg + "'");
    } else if (a.file.empty()) {
      a.file = arg;
    } else {
      return UsageError(err, "more than one file given");
    }
  }
  if (!a.havePattern) return UsageError(err, "no pattern given");
  if (quillon::SearchPattern(quillon::Utf8ToUtf16(a.pattern)).empty())
    return UsageError(err, "Enter text pattern to search files.");
  if (!a.snapshot.empty() && (!a.file.empty() || a.range || a.advanced))
    return UsageError(err, "--snapshot takes no BKF file, no --range and no --advanced");
  if (a.file.empty() && a.snapshot.empty()) return UsageError(err, "no BKF file given");

  std::unique_ptr<bkf> result;
  if (!a.snapshot.empty()) {
    if (const int status = LoadSnapshotForCli(a.snapshot, result, err); status != kExitOk) return status;
  } else {
    TerminalNotify notify(err);
    result = MakeScanner(a.advanced, a.heuristic);
    const CliScanResult scan = RunCliScan(*result, a.file, a.range, notify, err);
    if (scan == CliScanResult::CannotOpen || scan == CliScanResult::ReadError) return kExitCannotOpen;
    if (scan == CliScanResult::Stopped) std::fprintf(err, "Scan stopped; searching what was found so far.\n");
  }
  bkf& scanner = *result;
  const std::vector<int64_t> found = quillon::FindMatchingFiles(scanner, quillon::Utf8ToUtf16(a.pattern));

  if (a.json) {
    std::string text = "{\"pattern\": " +
                       JsonString(quillon::Utf16ToUtf8(quillon::SearchPattern(quillon::Utf8ToUtf16(a.pattern)))) +
                       ", \"count\": " + std::to_string(found.size()) + ", \"files\": [";
    for (size_t i = 0; i < found.size(); ++i) {
      const int64_t record = found[i];
      text += std::string(i ? "," : "") + "\n  {\"path\": " +
              JsonString(quillon::Utf16ToUtf8(quillon::SearchRowText(scanner, record))) +
              ", \"type\": " + JsonString(FileTypeName(scanner.m_files.Name(record))) +
              ", \"size\": " + std::to_string(scanner.m_files.Record(record).dataLength) +
              ", \"record\": " + std::to_string(record) + "}";
    }
    text += found.empty() ? "]}\n" : "\n]}\n";
    std::fputs(text.c_str(), out);
    return kExitOk;
  }
  for (const int64_t record : found) {
    const std::u16string row = quillon::SearchRowText(scanner, record);
    std::fprintf(out, "%s\t%s\t%llu\n", quillon::Utf16ToUtf8(row).c_str(),
                 FileTypeName(row).c_str(),
                 static_cast<unsigned long long>(scanner.m_files.Record(record).dataLength));
  }
  std::fprintf(out, "Total No. of files : %zu\n", found.size());
  return kExitOk;
}
