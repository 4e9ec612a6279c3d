// The desktop tests run in a private environment (their own settings,
// temporary and runtime folders) inside the program's own application object.

#include <gtest/gtest.h>

#include "gui_test_support.h"
#include "shell/application.h"
#include "system/process_environment.h"

int main(int argc, char** argv) {
  gui_testing::PrepareEnvironment();
  PrepareProcessEnvironment();
  ::testing::InitGoogleTest(&argc, argv);
  int result = 0;
  {
    CHalvernApp app(argc, argv);
    gui_testing::InstallRecorders();
    result = RUN_ALL_TESTS();
  }
  gui_testing::RemoveEnvironment();
  return result;
}
