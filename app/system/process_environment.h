#pragma once
// Settings of the process that must be made before the application object
// exists: the web component refuses to start as root unless its sandbox is
// off, it needs shared OpenGL contexts, and the preview's own URL scheme is
// registered before it starts.

#include <QByteArray>

// The web component's flags for a process: existing flags, with "--no-sandbox"
// added for root.
QByteArray WebEngineFlags(const QByteArray& existing, bool runningAsRoot);

// Applies the settings above to this process. Call before the QApplication.
void PrepareProcessEnvironment();
