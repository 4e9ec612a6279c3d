#include "app_state.h"

namespace {
ApplicationState g_defaultState;
ApplicationState* g_state = &g_defaultState;
}  // namespace

void ApplicationState::Reset() {
  m_nLookId = 0;
  m_bProcessRunning.store(0);
  m_bPartialScan = 0;
  m_nRecoveryMode = 0;
  m_bHeuristicScan = 0;
  m_strBkfFilePath.clear();
  m_strBkfFileSize.clear();
  m_strRangeMin.clear();
  m_strRangeMax.clear();
}

ApplicationState& AppState() { return *g_state; }

void SetAppState(ApplicationState* state) { g_state = state ? state : &g_defaultState; }
