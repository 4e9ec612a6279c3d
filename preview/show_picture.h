#pragma once
// The preview pane's picture view for one file: decoded by content in the
// helper process, shown at natural size. False when no picture results; the
// caller then shows the hex dump.

#include <QString>

class CTarvelStaticFileViewer;

bool ShowPictureIn(CTarvelStaticFileViewer& pane, const QString& path);
