// The private window messages of the main window and the bridge that brings
// them from the workers to the user-interface thread.

#include "main_frame.h"
#include "prompt.h"

intptr_t CMainFrame::SendMessage(uint32_t message, uintptr_t wParam, intptr_t lParam) {
  return m_bridge.Send(message, wParam, lParam);
}

void CMainFrame::PostMessage(uint32_t message, uintptr_t wParam, intptr_t lParam) {
  m_bridge.Post(message, wParam, lParam);
}

MsgResult CMainFrame::MessageBox(const std::u16string& text, const std::u16string& caption, MsgButtons buttons,
                                 MsgIcon icon) {
  MsgResult result = MsgResult::Ok;
  m_bridge.RunBlocking([&] {
    result = Prompt().MessageBox(this, QString::fromStdU16String(text), QString::fromStdU16String(caption), buttons,
                                 icon);
  });
  return result;
}

intptr_t CMainFrame::WindowProc(uint32_t message, uintptr_t wParam, intptr_t lParam) {
  switch (message) {
    case UM_TREE_SELECT:
    case UM_TREE_CONTEXT:
    case UM_TREE_EXPAND:
    case UM_TREE_CHECK:
    case UM_TREE_RENAME:
      return OnTreeMessage(message, wParam, lParam);
    case UM_SHOW_PREVIEW:
      return OnShowPreview(wParam, lParam);
    case UM_PROCESS_STATE:
      return OnProcessState(wParam, lParam);
    case UM_SCAN_PROGRESS:
      return OnScanProgress(wParam, lParam);
    case UM_SCAN_FINISHED:
      return OnScanFinished(wParam, lParam);
    default:
      return 0;
  }
}

intptr_t CMainFrame::OnTreeMessage(uint32_t message, uintptr_t, intptr_t) {
  if (IsBusy()) {
    // Check changes during a process are not recorded, and not answered.
    if (message != UM_TREE_CHECK) ShowMessage(this, QString::fromLatin1(kWaitText));
    return 0;
  }
  return 1;
}

intptr_t CMainFrame::OnShowPreview(uintptr_t, intptr_t) {
  if (IsBusy()) {
    ShowMessage(this, QString::fromLatin1(kWaitText));
    return 0;
  }
  return 1;
}

intptr_t CMainFrame::OnProcessState(uintptr_t, intptr_t) {
  UpdateCommandUi();
  return 1;
}

intptr_t CMainFrame::OnScanProgress(uintptr_t wParam, intptr_t) {
  // The record belongs to the receiver.
  delete reinterpret_cast<ScanProgress*>(wParam);
  return 1;
}

intptr_t CMainFrame::OnScanFinished(uintptr_t, intptr_t) { return 1; }
