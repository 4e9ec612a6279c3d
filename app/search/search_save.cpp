#include "search/search_save.h"

#include "search/search_dlg.h"

// TO CONNECT: the save job's host window (StartSaveJob) takes over here.
void StartSearchSave(CTarvelDlgSearchBkfFiles& window, ApplicationState& state) {
  (void)window;
  (void)state;
}
