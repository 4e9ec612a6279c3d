#pragma once
// The visual look of the program: the black ribbon style, always, and the
// dark colour scheme of look 216.

class QApplication;

namespace visual_look {

// Fusion with the dark palette and the style sheet of the ribbon, panes,
// tabs and status bar.
void ApplyDarkScheme(QApplication& app);
// True once the dark scheme is in use.
bool DarkSchemeApplied();

}  // namespace visual_look
