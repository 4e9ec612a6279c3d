#pragma once
// The checks both hosts of the save job (the save window and the search
// window) make when "Save file(s)" is pressed.

#include <QString>
#include <cstddef>

class QWidget;

// True when there is something to save and destination names a folder;
// otherwise tells the user why and answers false. With hierarchy, shows the
// notice on long paths first.
bool CheckSaveRequest(QWidget* host, size_t fileCount, const QString& destination, bool hierarchy);
