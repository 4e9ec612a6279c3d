#include "system/process_exit.h"

#include <unistd.h>

#include <cstdio>

namespace {
ExitFunction& Installed() {
  static ExitFunction function;
  return function;
}
}  // namespace

void ExitProcessNow(int status) {
  if (Installed()) {
    Installed()(status);
    return;
  }
  std::fflush(nullptr);
  _exit(status);
}

void SetExitFunction(ExitFunction function) { Installed() = std::move(function); }
