// The private window messages of the main window and the bridge that brings
// them from the workers to the user-interface thread.

#include "tree/check_tree_ctrl.h"
#include "shell/main_frame.h"
#include "dialogs/prompt.h"
#include "list/file_list_ctrl.h"
#include "shell/preview_request.h"

intptr_t CMainFrame::SendMessage(uint32_t message, uintptr_t wParam, intptr_t lParam) {
  if (message == UM_SCAN_PROGRESS && !m_progressGate.Admit()) {
    delete reinterpret_cast<ScanProgress*>(wParam);
    return 1;
  }
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
      return OnTreeSelect(wParam, lParam);
    case UM_TREE_CONTEXT:
      return OnTreeContext(wParam, lParam);
    case UM_TREE_EXPAND:
      return OnTreeExpand(wParam, lParam);
    case UM_TREE_CHECK:
      return OnTreeCheck(wParam, lParam);
    case UM_TREE_RENAME:
      return OnTreeRename(wParam, lParam);
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

intptr_t CMainFrame::OnShowPreview(uintptr_t wParam, intptr_t) {
  return CPreviewRequest(*this).Run(int(wParam));
}
