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
#include "file_search.h"
#include "log_time.h"
#include "match_pattern.h"
#include "save_job.h"
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
    } else if (arg == "--pattern" || arg == "--only") {
      if (!hasValue) return UsageError(err, arg + " needs a pattern");
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
// taken unless --skip-continued; the next parts of a file are the --next-part
// files after the part the file was found in, in the order given, then none.
class CliPrompts : public quillon::ISaveJobPrompts {
 public:
  // `parts`: the scan result of each part given, the first part first.
  CliPrompts(std::vector<bkf*> parts, const ExtractArgs& args, TerminalNotify& notify, std::FILE* err)
      : m_parts(std::move(parts)), m_args(args), m_notify(notify), m_err(err) {}

  void FileStarting(const quillon::SaveEntry& entry) override {
    m_nextPart = 0;
    m_current = m_parts.front();
    for (size_t k = 0; k < m_parts.size(); ++k)
      if (entry.source == m_parts[k]) {
        m_nextPart = k;
        m_current = m_parts[k];
      }
  }

  bool ConfirmStartsEarlier(const FoundFileRecord& record) override {
    const int64_t index = record.index;
    const std::u16string name = m_current->m_files.IsValid(index) ? m_current->m_files.Name(index) : u"";
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
  std::vector<bkf*> m_parts;
  const bkf* m_current = nullptr;
  const ExtractArgs& m_args;
  TerminalNotify& m_notify;
  std::FILE* m_err;
  size_t m_nextPart = 0;
};

// The job's lines on stdout, its progress as the bar on stderr.
class CliSink : public quillon::ISaveJobSink {
 public:
  CliSink(std::FILE* out, TerminalNotify& notify, bool sharedTerminal)
      : m_out(out), m_notify(notify), m_sharedTerminal(sharedTerminal) {}

  void LogLine(std::u16string_view line) override {
    if (m_sharedTerminal) m_notify.ClearProgress();
    PrintLine(m_out, line);
    std::fflush(m_out);
  }
  void Progress(uint64_t position, uint64_t total) override {
    m_notify.ShowProgress(100.0 * double(position) / double(total), position, total, "files saved", position);
  }

 private:
  std::FILE* m_out;
  TerminalNotify& m_notify;
  bool m_sharedTerminal;
};

quillon::SaveEntry EntryOf(bkf& scanner, int64_t index, bkf* source) {
  const FoundFileRecord& record = scanner.m_files.Record(index);
  const int64_t parent = record.parent;
  quillon::SaveEntry entry;
  entry.displayText = (scanner.m_tree.IsValid(parent) ? scanner.m_tree.GetNodePath(parent) : u"") +
                      scanner.m_files.Name(index);
  entry.sizeText = quillon::ToDecimal16(record.dataLength);
  entry.record = index;
  entry.source = source;
  return entry;
}

}  // namespace

int RunExtractCommand(const std::vector<std::string>& args, std::FILE* out, std::FILE* err) {
  ExtractArgs a;
  if (const int status = ParseArgs(args, a, out, err); status >= 0) return status;

  // A BKF file that cannot be read leaves no new folder behind.
  if (!a.file.empty() && ReportIfCannotOpen(a.file, err)) return kExitCannotOpen;
  if (const int status = PrepareDestinationFolder(a.to, err); status >= 0) return status;
  const quillon::SaveDestination destination(quillon::Utf8ToUtf16(a.to));
  if (!destination.IsFolder()) {
    std::fprintf(err, "quillon-cli: %s ('%s')\n", quillon::Utf16ToUtf8(quillon::kInvalidDestination).c_str(),
                 a.to.c_str());
    return kExitUsage;
  }
  if (a.only && quillon::SearchPattern(quillon::Utf8ToUtf16(*a.only)).empty())
    return UsageError(err, "--pattern needs a pattern");
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
  // The later parts of a split backup are scanned too, so that the files
  // that begin there are found; a file that begins in an earlier part is
  // saved from there, not again from its continuation.
  std::vector<std::unique_ptr<bkf>> laterParts;
  if (a.snapshot.empty()) {
    for (const std::string& part : a.nextParts) {
      laterParts.push_back(MakeScanner(a.advanced, a.heuristic));
      const CliScanResult scan = RunCliScan(*laterParts.back(), part, std::nullopt, notify, err);
      if (scan == CliScanResult::CannotOpen || scan == CliScanResult::ReadError) return kExitCannotOpen;
      if (scan == CliScanResult::Stopped) {
        std::fprintf(err, "Scan stopped; nothing was saved.\n");
        return kExitStopped;
      }
    }
  }
  InstallInterruptStop();

  std::vector<quillon::SaveEntry> list;
  std::vector<bkf*> parts{&scanner};
  for (const auto& part : laterParts) parts.push_back(part.get());
  for (size_t k = 0; k < parts.size(); ++k) {
    bkf& s = *parts[k];
    // With --pattern, the files `search` lists, through the same search as the window's.
    std::vector<int64_t> files;
    if (a.only) {
      files = quillon::FindMatchingFiles(s, quillon::Utf8ToUtf16(*a.only));
    } else {
      for (int64_t i = 0; i < s.m_files.Count(); ++i) files.push_back(i);
    }
    for (const int64_t i : files) {
      if (k > 0 && StartsInEarlierPart(s, s.m_files.Record(i))) continue;
      list.push_back(EntryOf(s, i, k > 0 ? &s : nullptr));
    }
  }
  if (list.empty()) {
    std::fprintf(err, "%s\n", quillon::Utf16ToUtf8(quillon::kNoFileToSave).c_str());
    return kExitOk;
  }

  // The bar on stderr only has to make way for the log lines when both go to the terminal.
  CliSink sink(out, notify, isatty(fileno(out)) != 0);
  quillon::LogSaveOpening(sink, list.size());
  AppState().m_bProcessRunning.store(1);
  SegmentedReader reader;
  CliPrompts prompts(parts, a, notify, err);
  const quillon::SaveJobResult job =
      quillon::RunSaveJob(scanner, list, {quillon::Utf8ToUtf16(a.to), !a.flat}, prompts, sink, reader);
  notify.ClearProgress();
  if (job.stopped) std::fprintf(err, "Saving stopped.\n");
  notify.MessageBox(job.ClosingMessage(), ProductCaption(), MsgButtons::Ok,
                    job.notSaved > 0 || job.endedEarly ? MsgIcon::Warning : MsgIcon::Information);
  if (job.notSaved > 0 || job.endedEarly) return kExitOutputFailed;
  return job.stopped ? kExitStopped : kExitOk;
}
