// The helper runner's outcomes, with the shell as a stand-in helper.
#include <gtest/gtest.h>

#include <chrono>

#include "helper_process.h"

namespace {

helper::Run Shell(const std::string& script, std::chrono::milliseconds time = std::chrono::milliseconds(5000)) {
  helper::Limits limits;
  limits.time = time;
  return helper::RunHelper("/bin/sh", {"-c", script}, limits);
}

TEST(HelperProcess, OutcomesOfItsEnds) {
  struct Case {
    const char* script;
    helper::Outcome outcome;
    std::string answer;
  };
  const Case cases[] = {
      {"printf 'the answer' >&3", helper::Outcome::Answered, "the answer"},
      {"printf partial >&3; exit 1", helper::Outcome::Refused, ""},
      {"kill -SEGV $$", helper::Outcome::Crashed, ""},
      {"exec 4>&-; printf late >&3", helper::Outcome::Answered, "late"},
      // Nothing of the caller's is open in the helper beyond 0 to 4.
      {"[ -e /proc/self/fd/5 ] && exit 1; exit 0", helper::Outcome::Answered, ""},
  };
  for (const auto& c : cases) {
    const helper::Run run = Shell(c.script);
    EXPECT_EQ(run.outcome, c.outcome) << c.script << ": " << helper::OutcomeName(run.outcome);
    EXPECT_EQ(std::string(run.answer.begin(), run.answer.end()), c.answer) << c.script;
  }
  EXPECT_EQ(helper::RunHelper("/nonexistent/helper", {}).outcome, helper::Outcome::NotStarted);
}

TEST(HelperProcess, KilledAtTheTimeLimit) {
  const auto start = std::chrono::steady_clock::now();
  const helper::Run run = Shell("while :; do :; done", std::chrono::milliseconds(300));
  EXPECT_EQ(run.outcome, helper::Outcome::TimedOut);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
}

}  // namespace
