#pragma once
// The application state shared by the windows, the workers and the scanners.
// There is one instance per process, reached through AppState().

#include <atomic>
#include <cstdint>
#include <string>

struct ApplicationState {
  // Visual look id, 210..218 (stored as the setting "ApplicationLook").
  uint32_t m_nLookId = 0;
  // 1 while a long operation runs; the guard of every command and the stop
  // request of every long loop (0 means: stop now).
  std::atomic<int32_t> m_bProcessRunning{0};
  // 1 = scan a byte range, 2 = scan the whole file, 0 before the dialog was confirmed.
  int32_t m_bPartialScan = 0;
  // 1 = Standard, 2 = Advanced, 0 before the dialog was confirmed.
  int32_t m_nRecoveryMode = 0;
  // 1 once the dialog was confirmed with "Heuristic scanning" checked.
  int32_t m_bHeuristicScan = 0;
  std::u16string m_strBkfFilePath;
  std::u16string m_strBkfFileSize;
  std::u16string m_strRangeMin;
  std::u16string m_strRangeMax;

  // Puts every field back to its start value.
  void Reset();
};

// The one application state of the process. The desktop program installs its
// application object's state with SetAppState; everything else uses the
// built-in instance.
ApplicationState& AppState();
void SetAppState(ApplicationState* state);
