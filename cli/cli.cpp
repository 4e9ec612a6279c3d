#include "cli.h"

#include <cstring>

std::string UsageText() {
  return "usage:\n"
         "  quillon-cli scan [--range MIN:MAX] [--advanced [--heuristic]] [--json]\n"
         "                   [--save-snapshot FILE.QUILLONMOSSEL] FILE\n"
         "      Scans a BKF file and prints the recovery tree: folders with their\n"
         "      file counts and files with their sizes, or the whole tree as JSON.\n"
         "      --range scans the bytes MIN to MAX only; --advanced uses the\n"
         "      Advanced scanner (--heuristic: also unknown stream tags);\n"
         "      --save-snapshot stores the result in a recovery snapshot.\n"
         "  quillon-cli scan --snapshot FILE.QUILLONMOSSEL [--json]\n"
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
         "      saves the files found into DIR,\n"
         "      below it in their folders of the recovery tree, or with --flat all\n"
         "      into DIR (a number goes in front of a name that is taken).\n"
         "      --pattern saves only the files that search PATTERN lists (--only is\n"
         "      the same).\n"
         "      --next-part names the next part of a split backup; give one for\n"
         "      each further part, in order. A file that begins in an earlier part\n"
         "      is saved from this part on unless --skip-continued is given.\n"
         "  quillon-cli extract --snapshot FILE.QUILLONMOSSEL --to DIR [options as above]\n"
         "      Saves the files of a recovery snapshot, without scanning.\n"
         "  quillon-cli --help\n"
         "\n"
         "Ctrl-C stops a scan; what was found so far is still printed. Ctrl-C stops\n"
         "an extract after the data written so far (exit status 130).\n"
         "Exit status: 0 done, 1 a BKF file cannot be opened or read, 2 usage error,\n"
         "3 an output file cannot be created or written.\n";
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
  return range;
}

int RunCli(int argc, char** argv, std::FILE* out, std::FILE* err) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty()) {
    std::fprintf(err, "%s", UsageText().c_str());
    return kExitUsage;
  }
  if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
    std::fprintf(out, "%s", UsageText().c_str());
    return kExitOk;
  }
  const std::string command = args[0];
  args.erase(args.begin());
  if (command == "scan") return RunScanCommand(args, out, err);
  if (command == "extract") return RunExtractCommand(args, out, err);
  if (command == "search") return RunSearchCommand(args, out, err);
  std::fprintf(err, "quillon-cli: unknown command '%s'\n\n%s", command.c_str(), UsageText().c_str());
  return kExitUsage;
}
