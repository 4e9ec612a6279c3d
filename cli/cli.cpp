#include "cli.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "notify.h"
#include "save_log.h"
#include "save_paths.h"
#include "text.h"

std::string UsageText() {
  return "usage:\n"
         "  quillon-cli scan [--range MIN:MAX] [--advanced [--heuristic]]\n"
         "                   [--json | --json-tree]\n"
         "                   [--save-snapshot FILE.QUILLONMOSSEL] FILE\n"
         "      Scans a BKF file and prints the recovery tree: folders with their\n"
         "      file counts and files with their sizes, or as JSON: --json gives\n"
         "      the flat node and file lists, --json-tree the tree nested (each\n"
         "      folder with its \"children\" and its \"files\").\n"
         "      --range scans the bytes MIN to MAX only; --advanced uses the\n"
         "      Advanced scanner (--heuristic: also unknown stream tags);\n"
         "      --save-snapshot stores the result in a recovery snapshot.\n"
         "  quillon-cli scan --snapshot FILE.QUILLONMOSSEL [--json | --json-tree]\n"
         "      Prints the tree stored in a recovery snapshot, without scanning.\n"
         "  quillon-cli search PATTERN FILE [--range MIN:MAX] [--advanced [--heuristic]] [--json]\n"
         "  quillon-cli search PATTERN --snapshot FILE.QUILLONMOSSEL [--json]\n"
         "      Lists the files found whose name matches PATTERN, as the search\n"
         "      window does: blanks at both ends are removed, * stands for any\n"
         "      characters and ? for one, letter case matters, and a pattern without\n"
         "      * matches any name containing it. One row per file: folder path and\n"
         "      name, type and size in bytes, separated by tabs.\n"
         "  quillon-cli extract FILE --to DIR [--flat] [--range MIN:MAX] [--pattern PATTERN]\n"
         "                      [--next-part PART]... [--skip-continued]\n"
         "                      [--advanced [--heuristic]]\n"
         "      Scans a BKF file (Standard mode, or Advanced with --advanced) and\n"
         "      saves the files found into DIR (made when it does not exist),\n"
         "      below it in their folders of the recovery tree, or with --flat all\n"
         "      into DIR (a number goes in front of a name that is taken).\n"
         "      --pattern saves only the files that search PATTERN lists (--only is\n"
         "      the same).\n"
         "      --next-part names the next part of a split backup; give one for\n"
         "      each further part, in order. A file that begins in an earlier part\n"
         "      is saved from this part on unless --skip-continued is given.\n"
         "  quillon-cli extract --snapshot FILE.QUILLONMOSSEL --to DIR [options as above]\n"
         "      Saves the files of a recovery snapshot, without scanning.\n"
         "  quillon-cli --help | --version\n"
         "\n"
         "Ctrl-C stops a scan; what was found so far is still printed. Ctrl-C stops\n"
         "an extract after the data written so far. Control characters in names are\n"
         "shown as \\xNN in the text output (JSON escapes them).\n"
         "Exit status: 0 done, 1 a BKF file cannot be opened or read, or no backup\n"
         "blocks are found in it, 2 usage error, 3 an output file or folder cannot be\n"
         "created or written, 130 stopped by Ctrl-C.\n";
}

std::optional<ByteRange> ParseRange(const std::string& text) {
  const size_t colon = text.find(':');
  if (colon == std::string::npos || colon == 0 || colon + 1 == text.size()) return std::nullopt;
  ByteRange range;
  auto parse = [](const std::string& digits, uint64_t& value) {
    if (digits.empty() || digits.size() > 20) return false;
    value = 0;
    for (char c : digits) {
      if (c < '0' || c > '9') return false;
      const uint64_t d = uint64_t(c - '0');
      if (value > (UINT64_MAX - d) / 10) return false;
      value = value * 10 + d;
    }
    return true;
  };
  if (!parse(text.substr(0, colon), range.min) || !parse(text.substr(colon + 1), range.max)) return std::nullopt;
  if (range.max <= range.min) return std::nullopt;
  return range;
}

std::string VersionText() {
  return "quillon-cli (" + quillon::Utf16ToUtf8(ProductCaption()) + ")\n";
}

int ReportUsageError(std::FILE* err, const std::string& problem) {
  std::fprintf(err, "quillon-cli: %s\nTry 'quillon-cli --help'.\n", problem.c_str());
  return kExitUsage;
}

std::string OpenFailureReason(const std::string& path) {
  // Opened as the scanner opens it: without blocking on a pipe or device.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) return std::strerror(errno);
  struct stat st {};
  std::string reason;
  if (::fstat(fd, &st) != 0)
    reason = std::strerror(errno);
  else if (S_ISDIR(st.st_mode))
    reason = std::strerror(EISDIR);
  else if (!S_ISREG(st.st_mode))
    reason = "Not a regular file";
  ::close(fd);
  return reason;
}

bool ReportIfCannotOpen(const std::string& path, std::FILE* err) {
  const std::string reason = OpenFailureReason(path);
  if (reason.empty()) return false;
  std::fprintf(err, "quillon-cli: the file '%s' cannot be opened: %s\n", path.c_str(), reason.c_str());
  return true;
}

int PrepareDestinationFolder(const std::string& folder, std::FILE* err) {
  const quillon::SaveDestination destination(quillon::Utf8ToUtf16(folder));
  if (destination.IsFolder()) return -1;
  const std::filesystem::path path = quillon::PathFromUtf16(destination.LocationText());
  std::error_code ec;
  if (!destination.LocationText().empty() && !std::filesystem::exists(std::filesystem::symlink_status(path, ec))) {
    std::filesystem::create_directories(path, ec);
    if (!ec && destination.IsFolder()) return -1;
    std::fprintf(err, "quillon-cli: the folder '%s' cannot be created: %s\n", folder.c_str(),
                 ec ? ec.message().c_str() : std::strerror(ENOTDIR));
    return kExitOutputFailed;
  }
  std::fprintf(err, "quillon-cli: %s ('%s')\n", quillon::Utf16ToUtf8(quillon::kInvalidDestination).c_str(),
               folder.c_str());
  return kExitUsage;
}

int RunCli(int argc, char** argv, std::FILE* out, std::FILE* err) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty()) return ReportUsageError(err, "no command given");
  if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
    std::fprintf(out, "%s", UsageText().c_str());
    return kExitOk;
  }
  if (args[0] == "--version" || args[0] == "-V") {
    std::fprintf(out, "%s", VersionText().c_str());
    return kExitOk;
  }
  const std::string command = args[0];
  args.erase(args.begin());
  if (command == "scan") return RunScanCommand(args, out, err);
  if (command == "extract") return RunExtractCommand(args, out, err);
  if (command == "search") return RunSearchCommand(args, out, err);
  return ReportUsageError(err, "unknown command '" + command + "'");
}
