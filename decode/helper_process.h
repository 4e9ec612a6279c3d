#pragma once
// Runs the program's decoding helper for one request, out of harm's way: a
// separate process under a time limit and a memory limit, whose answer comes
// back through an anonymous shared-memory file. A crash, a hang or a memory
// blow-up inside the helper ends that request and nothing else.

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace helper {

struct Limits {
  std::chrono::milliseconds time{5000};
  uint64_t memoryBytes = 1ull << 30;
  // Answers larger than this are refused as damaged.
  uint64_t maxAnswerBytes = 1ull << 30;
};

enum class Outcome {
  Answered,    // exit status 0; the answer is in Run::answer
  Refused,     // the helper ended with a non-zero status (not decodable)
  Crashed,     // ended by a signal (or the memory limit)
  TimedOut,    // killed at the time limit
  NotStarted,  // the helper could not be started
};

struct Run {
  Outcome outcome = Outcome::NotStarted;
  int exitStatus = -1;  // exit code, or the signal number when it crashed
  std::vector<uint8_t> answer;
};

// The helper writes its answer to descriptor 3; descriptor 4 is only held
// open so that its end tells this side the helper has ended.
inline constexpr int kAnswerFd = 3;
inline constexpr int kWatchFd = 4;

// Reads an answer of size bytes straight from the descriptor (with pread);
// false refuses it.
using AnswerTaker = std::function<bool(int fd, uint64_t size)>;

// Starts executable with the arguments (argv[0] is the executable itself),
// waits for its end within the limits and collects its answer into
// Run::answer, or hands it to take.
Run RunHelper(const std::string& executable, const std::vector<std::string>& arguments,
              const Limits& limits = {}, const AnswerTaker& take = nullptr);

const char* OutcomeName(Outcome outcome);

}  // namespace helper
