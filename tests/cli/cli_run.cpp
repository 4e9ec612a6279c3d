#include "cli_run.h"

#include <cstdio>
#include <cstdlib>

#include "cli.h"

namespace testing_support {

CliRun RunWith(std::vector<std::string> args) {
  args.insert(args.begin(), "quillon-cli");
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  char *outBuf = nullptr, *errBuf = nullptr;
  size_t outLen = 0, errLen = 0;
  std::FILE* out = open_memstream(&outBuf, &outLen);
  std::FILE* err = open_memstream(&errBuf, &errLen);
  CliRun r;
  r.status = RunCli(int(argv.size()), argv.data(), out, err);
  std::fclose(out);
  std::fclose(err);
  r.out.assign(outBuf, outLen);
  r.err.assign(errBuf, errLen);
  std::free(outBuf);
  std::free(errBuf);
  return r;
}

}  // namespace testing_support
