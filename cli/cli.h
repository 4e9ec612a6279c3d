#pragma once
// quillon-cli: the command-line companion of the desktop program.

#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// Exit statuses.
constexpr int kExitOk = 0;
constexpr int kExitCannotOpen = 1;  // also: the file holds no backup blocks
constexpr int kExitUsage = 2;
constexpr int kExitOutputFailed = 3;
constexpr int kExitStopped = 130;

// Runs one command line (argv[0] is the program name).
int RunCli(int argc, char** argv, std::FILE* out, std::FILE* err);

// The usage text printed by --help.
std::string UsageText();
// The program's name and version, printed by --version.
std::string VersionText();
// A usage error: "quillon-cli: PROBLEM" and a pointer to --help on err.
int ReportUsageError(std::FILE* err, const std::string& problem);

// Why a BKF file cannot be opened for reading, in the system's words
// ("No such file or directory", "Is a directory", "Permission denied"...);
// empty when it can.
std::string OpenFailureReason(const std::string& path);
// Says "the file 'PATH' cannot be opened: REASON" on err and answers true
// when the BKF file cannot be opened.
bool ReportIfCannotOpen(const std::string& path, std::FILE* err);

// The folder given with --to: made (with its parents) when it does not exist.
// Returns -1 when it is a folder now, else the exit status after saying why.
int PrepareDestinationFolder(const std::string& folder, std::FILE* err);

struct ByteRange {
  uint64_t min = 0;
  uint64_t max = 0;
};
// Parses MIN:MAX (decimal digits on both sides, MAX greater than MIN).
std::optional<ByteRange> ParseRange(const std::string& text);
inline constexpr char kRangeProblem[] = "--range needs MIN:MAX in bytes, MAX greater than MIN";

class bkf;
// A Standard or Advanced scanner (the heuristic option set in the state).
std::unique_ptr<bkf> MakeScanner(bool advanced, bool heuristic);
// Loads a snapshot as the scan command and the extract command do: prints
// "Snapshot loading process aborted." and gives status 1 when it fails.
int LoadSnapshotForCli(const std::string& path, std::unique_ptr<bkf>& scanner, std::FILE* err);

// `quillon-cli scan ...` (arguments after the command word).
int RunScanCommand(const std::vector<std::string>& args, std::FILE* out, std::FILE* err);

// `quillon-cli search PATTERN ...` (arguments after the command word).
int RunSearchCommand(const std::vector<std::string>& args, std::FILE* out, std::FILE* err);

// `quillon-cli extract ...` (arguments after the command word).
int RunExtractCommand(const std::vector<std::string>& args, std::FILE* out, std::FILE* err);
