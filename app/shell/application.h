#pragma once
// The application object: the QApplication of the desktop program and the
// holder of the application state that every window, worker and scanner
// reads through AppState().

#include <QApplication>
#include <memory>

#include "app_state.h"

class AppSettings;
class CMainFrame;

inline constexpr char kAnotherInstanceText[] = "Another instance of application is already running";

class CHalvernApp : public QApplication, public ApplicationState {
  Q_OBJECT
 public:
  // Sets the start values of the state and installs it as AppState().
  CHalvernApp(int& argc, char** argv);
  ~CHalvernApp() override;

  // The application object of the process.
  static CHalvernApp* Instance();

  // Whether the single-instance lock was held by another process when this
  // one started (taken before the application object exists).
  void SetAnotherInstanceRunning(bool running) { m_bAnotherInstance = running; }
  bool AnotherInstanceRunning() const { return m_bAnotherInstance; }

  // Opens the settings store and creates and shows the main window. False
  // when the process is to end at once: another instance runs, or the main
  // window cannot be created.
  bool InitInstance();
  // Destroys the main window and closes the settings store.
  void ExitInstance();

  CMainFrame* MainFrame() const { return m_pMainWnd.get(); }
  AppSettings* Settings() const { return m_settings.get(); }

 private:
  bool m_bAnotherInstance = false;
  std::unique_ptr<AppSettings> m_settings;
  std::unique_ptr<CMainFrame> m_pMainWnd;
};
