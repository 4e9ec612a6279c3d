#pragma once
// Shared pieces of the benchmarks of the desktop program.

#include <QSize>
#include <QTemporaryDir>

class CMainFrame;

namespace bench {

// Points the process at folders of its own inside home (settings, runtime,
// temporary), so that a benchmark leaves the user's settings alone, and
// draws offscreen unless a display is asked for. Call before the application
// object exists.
void UsePrivateHome(const QTemporaryDir& home);
// Creates and shows the main window at the given size; false when it cannot
// be made.
bool ShowMainFrame(CMainFrame& frame, QSize size);

}  // namespace bench
