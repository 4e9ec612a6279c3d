// quillon-fixture: writes the project's BKF fixtures.
//   quillon-fixture demo OUT.bkf           the demo backup
//   quillon-fixture preview-demo OUT.bkf   files for each view of the preview
#include <cstdio>
#include <cstring>
#include <exception>

#include "demo_backup.h"
#include "preview_demo.h"

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
  if (argc == 3 && std::strcmp(argv[1], "preview-demo") == 0) {
    try {
      fixture::PreviewDemoBackup().WriteTo(argv[2]);
    } catch (const std::exception& e) {
      std::fprintf(stderr, "quillon-fixture: %s\n", e.what());
      return 1;
    }
    return 0;
  }
  std::fprintf(stderr, "usage: quillon-fixture demo|preview-demo OUT.bkf\n");
  return 2;
}
