#pragma once
// Runs quillon-cli in the test process and keeps what it printed.

#include <string>
#include <vector>

namespace testing_support {

struct CliRun {
  int status = 0;
  std::string out, err;
};

// The arguments after the program name.
CliRun RunWith(std::vector<std::string> args);

}  // namespace testing_support
