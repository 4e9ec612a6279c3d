#include "shell/application.h"
#include "system/process_environment.h"
#include "shell/screenshot_hook.h"
#include "shell/scripted_close_hook.h"
#include "system/single_instance_lock.h"

int main(int argc, char** argv) {
  // The lock comes before everything else and stays for the life of the process.
  SingleInstanceLock lock;
  const bool anotherInstance = lock.Create();

  PrepareProcessEnvironment();
  CHalvernApp app(argc, argv);
  app.SetAnotherInstanceRunning(anotherInstance);
  if (!app.InitInstance()) return 0;
  ArmScreenshotHook(app.MainFrame());
  ArmScriptedCloseHook(app.MainFrame());
  return app.exec();
}
