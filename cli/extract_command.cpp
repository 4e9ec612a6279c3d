// quillon-cli extract: scans a BKF file and saves the files found, as the
// save job does, with its log lines on stdout.
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "app_state.h"
#include "cli.h"
#include "cli_scan.h"
#include "extractor.h"
#include "log_time.h"
#include "match_pattern.h"
#include "save_log.h"
#include "save_paths.h"
#include "segmented_reader.h"
#include "terminal_notify.h"
#include "terminal_text.h"
#include "text.h"

namespace {

struct ExtractArgs {
  std::string file;
  std::string snapshot;
  std::string to;
  bool haveTo = false;
  bool flat = false;
  std::optional<ByteRange> range;
  std::optional<std::string> only;
  std::vector<std::string> nextParts;
  bool skipContinued = false;
  bool advanced = false;
  bool heuristic = false;
};

int UsageError(std::FILE* err, const std::string& message) { return ReportUsageError(err, message); }

// Returns -1 when the arguments are complete, else the exit status.
int ParseArgs(const std::vector<std::string>& args, ExtractArgs& a, std::FILE* out, std::FILE* err) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const bool hasValue = i + 1 < args.size();
    if (arg == "--flat") {
      a.flat = true;
    } else if (arg == "--skip-continued") {
      a.skipContinued = true;
    } else if (arg == "--advanced") {
      a.advanced = true;
    } else if (arg == "--heuristic") {
      a.heuristic = true;
    } else if (arg == "--to") {
      if (!hasValue) return UsageError(err, "--to needs a folder");
      a.to = args[++i];
      a.haveTo = true;
    } else if (arg == "--range") {
      if (!hasValue || !(a.range = ParseRange(args[i + 1]))) return UsageError(err, kRangeProblem);
      ++i;
    } else if (arg == "--only") {
      if (!hasValue) return UsageError(err, "--only needs a pattern");
      a.only = args[++i];
    } else if (arg == "--next-part") {
      if (!hasValue) return UsageError(err, "--next-part needs a BKF file");
      a.nextParts.push_back(args[++i]);
    } else if (arg == "--snapshot") {
      if (!hasValue) return UsageError(err, "--snapshot needs a file name");
      a.snapshot = args[++i];
    } else if (arg == "--help") {
      std::fprintf(out, "%s", UsageText().c_str());
      return kExitOk;
    } else if (!arg.empty() && arg[0] == '-') {
      return UsageError(err, "unknown option '" + arg + "'");
    } else if (a.file.empty()) {
      a.file = arg;
    } else {
      return UsageError(err, "more than one file given");
    }
  }
  if (!a.snapshot.empty() && (!a.file.empty() || a.range || a.advanced))
    return UsageError(err, "--snapshot takes no BKF file, no --range and no --advanced");
  if (a.file.empty() && a.snapshot.empty()) return UsageError(err, "no BKF file given");
  if (!a.haveTo || a.to.empty()) return UsageError(err, "--to DIR is needed");
  return -1;
}

void PrintLine(std::FILE* out, std::u16string_view line) {
  std::fputs(TerminalText(quillon::Utf16ToUtf8(line)).c_str(), out);
  std::fputc('\n', out);
}

// The answers of the command line: a file that begins in an earlier part is
// taken unless --skip-continued; the next parts are the --next-part files in
// the order given, then none.
class CliPrompts : public IExtractPrompts {
 public:
  CliPrompts(const bkf& scanner, const ExtractArgs& args, TerminalNotify& notify, std::FILE* err)
      : m_scanner(scanner), m_args(args), m_notify(notify), m_err(err) {}

  // Each file's extraction is offered the named parts from the first on.
  void StartFile() { m_nextPart = 0; }

  bool ConfirmStartsEarlier(const FoundFileRecord& record) override {
    const int64_t index = record.index;
    const std::u16string name = m_scanner.m_files.IsValid(index) ? m_scanner.m_files.Name(index) : u"";
    m_notify.ClearProgress();
    std::fprintf(m_err, "%s%s\n", TerminalText(quillon::Utf16ToUtf8(name)).c_str(),
                 quillon::Utf16ToUtf8(quillon::kStartsEarlierQuestion).c_str());
    std::fprintf(m_err, m_args.skipContinued ? "  No (--skip-continued).\n" : "  Yes.\n");
    return !m_args.skipContinued;
  }

  NextPartAnswer RequestNextPart() override {
    m_notify.ClearProgress();
    std::fprintf(m_err, "%s\n", quillon::Utf16ToUtf8(quillon::kNextPartQuestion).c_str());
    while (m_nextPart < m_args.nextParts.size()) {
      const std::string& path = m_args.nextParts[m_nextPart++];
      auto file = std::make_unique<BkfFile>();
      if (file->Open(path)) {
        std::fprintf(m_err, "  Next part: %s\n", path.c_str());
        return NextPartAnswer::Part(std::move(file));
      }
      std::fprintf(m_err, "quillon-cli: the next part '%s' cannot be opened.\n", path.c_str());
    }
    std::fprintf(m_err, "%s\n", quillon::Utf16ToUtf8(quillon::kNoNextPart).c_str());
    return NextPartAnswer::None();
  }

 private:
  const bkf& m_scanner;
  const ExtractArgs& m_args;
  TerminalNotify& m_notify;
  std::FILE* m_err;
  size_t m_nextPart = 0;
};

bool Running() { return AppState().m_bProcessRunning.load() != 0; }

}  // namespace

int RunExtractCommand(const std::vector<std::string>& args, std::FILE* out, std::FILE* err) {
  ExtractArgs a;
  if (const int status = ParseArgs(args, a, out, err); status >= 0) return status;

  // A BKF file that cannot be read leaves no new folder behind.
  if (!a.file.empty() && ReportIfCannotOpen(a.file, err)) return kExitCannotOpen;
  if (const int status = PrepareDestinationFolder(a.to, err); status >= 0) return status;
  const quillon::SaveDestination destination(quillon::Utf8ToUtf16(a.to));
  std::u16string pattern;
  if (a.only) {
    pattern = quillon::SearchPattern(quillon::Utf8ToUtf16(*a.only));
    if (pattern.empty()) return UsageError(err, "--only needs a pattern");
  }
  for (const std::string& part : a.nextParts) {
    BkfFile probe;
    if (!probe.Open(part)) {
      std::fprintf(err, "quillon-cli: the next part '%s' cannot be opened: %s\n", part.c_str(),
                   OpenFailureReason(part).c_str());
      return kExitCannotOpen;
    }
  }

  TerminalNotify notify(err);
  std::unique_ptr<bkf> result;
  if (!a.snapshot.empty()) {
    if (const int status = LoadSnapshotForCli(a.snapshot, result, err); status != kExitOk) return status;
  } else {
    result = MakeScanner(a.advanced, a.heuristic);
    const CliScanResult scan = RunCliScan(*result, a.file, a.range, notify, err);
    if (scan == CliScanResult::CannotOpen || scan == CliScanResult::ReadError || scan == CliScanResult::NothingFound)
      return kExitCannotOpen;
    if (scan == CliScanResult::Stopped) {
      std::fprintf(err, "Scan stopped; nothing was saved.\n");
      return kExitStopped;
    }
  }
  bkf& scanner = *result;
  InstallInterruptStop();

  std::vector<int64_t> list;
  for (int64_t i = 0; i < scanner.m_files.Count(); ++i)
    if (!a.only || quillon::MatchPattern(scanner.m_files.Name(i), pattern)) list.push_back(i);
  if (list.empty()) {
    std::fprintf(err, "%s\n", quillon::Utf16ToUtf8(quillon::kNoFileToSave).c_str());
    return kExitOk;
  }

  PrintLine(out, u"");
  PrintLine(out, quillon::SaveStartedLine(quillon::LogTimeNow()));
  PrintLine(out, quillon::FilesToSaveLine(list.size()));
  PrintLine(out, u"");

  // The bar on stderr only has to make way for the log lines when both go to the terminal.
  const bool sharedTerminal = isatty(fileno(out)) != 0;
  AppState().m_bProcessRunning.store(1);
  SegmentedReader reader;
  CliPrompts prompts(scanner, a, notify, err);
  uint64_t processed = 0;
  for (size_t i = 0; i < list.size() && Running(); ++i) {
    ++processed;
    const FoundFileRecord record = scanner.m_files.Record(list[i]);
    const std::u16string& name = scanner.m_files.Name(list[i]);
    const int64_t parent = record.parent;
    const std::u16string entry = (scanner.m_tree.IsValid(parent) ? scanner.m_tree.GetNodePath(parent) : u"") + name;
    if (sharedTerminal) notify.ClearProgress();
    PrintLine(out, quillon::SavingLine(entry, record.dataLength));
    std::fflush(out);
    if (record.kind == kFileKind && record.dataPosition != 0) {
      const std::filesystem::path path = destination.OutputPath(scanner.m_tree, record, name, !a.flat);
      prompts.StartFile();
      ExtractOutcome outcome;
      try {
        outcome = ExtractFile(scanner, record, path, prompts, reader);
      } catch (const OutputFileError& e) {
        AppState().m_bProcessRunning.store(0);
        notify.ClearProgress();
        std::fprintf(err, "quillon-cli: %s\n", TerminalText(e.what()).c_str());
        return kExitOutputFailed;
      } catch (const std::exception& e) {
        AppState().m_bProcessRunning.store(0);
        notify.ClearProgress();
        std::fprintf(err, "quillon-cli: %s (while saving '%s')\n", TerminalText(e.what()).c_str(),
                     TerminalText(path.string()).c_str());
        return kExitCannotOpen;
      }
      if (outcome == ExtractOutcome::CannotCreate) {
        const int error = errno;
        AppState().m_bProcessRunning.store(0);
        notify.ClearProgress();
        std::fprintf(err, "quillon-cli: the output file '%s' cannot be created: %s\n",
                     TerminalText(path.string()).c_str(),
                     std::strerror(error));
        return kExitOutputFailed;
      }
      if (outcome == ExtractOutcome::Declined) continue;
      if (sharedTerminal) notify.ClearProgress();
      PrintLine(out, quillon::FileSavedLine(quillon::PathToUtf16(path)));
      PrintLine(out, u"");
      std::fflush(out);
    }
    notify.ShowProgress(100.0 * double(i + 1) / double(list.size()), i + 1, list.size(), "files saved", processed);
  }
  const bool stopped = !Running();
  AppState().m_bProcessRunning.store(0);
  notify.ClearProgress();
  PrintLine(out, quillon::FilesSavedLine(processed));
  PrintLine(out, u"");
  PrintLine(out, quillon::SaveCompletedLine(destination.LocationText(), quillon::LogTimeNow()));
  std::fflush(out);
  if (stopped) std::fprintf(err, "Saving stopped.\n");
  notify.MessageBox(quillon::SaveCompletedMessage(destination.LocationText()), ProductCaption(), MsgButtons::Ok,
                    MsgIcon::Information);
  return stopped ? kExitStopped : kExitOk;
}
