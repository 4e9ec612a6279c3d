#pragma once
// quillon-cli: the command-line companion of the desktop program.

#include <cstdint>
#include <cstdio>
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

// `quillon-cli scan ...` (arguments after the command word).
int RunScanCommand(const std::vector<std::string>& args, std::FILE* out, std::FILE* err);

// `quillon-cli extract ...` (arguments after the command word).
int RunExtractCommand(const std::vector<std::string>& args, std::FILE* out, std::FILE* err);
