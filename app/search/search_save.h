#pragma once
// "Save file(s)" of the search window: the save job with the window as its
// host (its result list, destination, hierarchy box, progress, busy text,
// OK and Stop, result count).

class CTarvelDlgSearchBkfFiles;
struct ApplicationState;

// Runs on the user-interface thread when the Save button is pressed.
void StartSearchSave(CTarvelDlgSearchBkfFiles& window, ApplicationState& state);
