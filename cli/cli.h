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
constexpr int kExitCannotOpen = 1;
constexpr int kExitUsage = 2;
constexpr int kExitOutputFailed = 3;
constexpr int kExitStopped = 130;

// Runs one command line (argv[0] is the program name).
int RunCli(int argc, char** argv, std::FILE* out, std::FILE* err);

// The usage text printed by --help and after a usage error.
std::string UsageText();

struct ByteRange {
  uint64_t min = 0;
  uint64_t max = 0;
};
// Parses MIN:MAX (decimal digits on both sides).
std::optional<ByteRange> ParseRange(const std::string& text);

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
