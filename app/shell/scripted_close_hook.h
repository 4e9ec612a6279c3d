#pragma once
// For the check of an installed package: when QUILLON_SCRIPTED_CLOSE_MS holds
// a number of milliseconds, the program waits that long after start, reports
// on standard error whether its main window is shown ("Main window shown: "
// with its title and size, or "Main window not shown") and the address Help
// opens ("User guide: "), then closes the
// window as a user would, answering Yes to the close question. The process
// ends through the window's own close handling.

class CMainFrame;

// Arms the hook when the variable is set.
void ArmScriptedCloseHook(CMainFrame* frame);
