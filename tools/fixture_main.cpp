// quillon-fixture: writes the project's BKF fixtures.
//   quillon-fixture demo OUT.bkf     the demo backup
#include <cstdio>
#include <cstring>
#include <exception>

#include "demo_backup.h"

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "demo") == 0) {
    try {
      fixture::DemoBackup().WriteTo(argv[2]);
    } catch (const std::exception& e) {
      std::fprintf(stderr, "quillon-fixture: %s\n", e.what());
      return 1;
    }
    return 0;
  }
  std::fprintf(stderr, "usage: quillon-fixture demo OUT.bkf\n");
  return 2;
}
