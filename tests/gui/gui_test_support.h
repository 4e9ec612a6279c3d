#pragma once
// Shared parts of the desktop tests: the private environment, the scripted
// prompt, the recorded exits and opened addresses, and a main window fixture.

#include <gtest/gtest.h>

#include <QList>
#include <QString>
#include <QUrl>
#include <QWidget>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "shell/app_settings.h"
#include "shell/main_frame.h"
#include "scripted_prompt.h"

namespace gui_testing {

// The private root of this test process (settings, temporary, runtime folders).
const std::filesystem::path& PrivateRoot();
// Makes the private folders and points the process at them. Call before the
// application object exists.
void PrepareEnvironment();
void RemoveEnvironment();

ScriptedPrompt& TestPrompt();
// Exit statuses asked for since the last Reset.
QList<int>& ExitCalls();
// Addresses opened since the last Reset.
QList<QUrl>& OpenedUrls();
// Installs the prompt, the exit recorder and the opener recorder.
void InstallRecorders();
// Clears the recorders, the prompt's queues and the application state.
void ResetRecorders();

// The child widget carrying a control id.
QWidget* FindById(QWidget* root, int id);
template <class T>
T* FindById(QWidget* root, int id) {
  return qobject_cast<T*>(FindById(root, id));
}

// Writes ApplicationLook directly into the settings store (none removes it).
void StoreRawLook(const std::optional<QString>& value);

// A created main window with fresh settings and recorders.
class FrameTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  ScriptedPrompt& prompt() { return TestPrompt(); }
  // Adds an item to the folder tree, checked or not.
  void AddTreeItem(const QString& label, bool checked);
  // Gives the window a scanner object, as after a scan.
  void GiveScanner();

  std::unique_ptr<AppSettings> settings;
  std::unique_ptr<CMainFrame> frame;
};

}  // namespace gui_testing
