// The commands of the main window.

#include <QAction>

#include "save/save_recovered_dlg.h"
#include "dialogs/about_dlg.h"
#include "shell/command_ids.h"
#include "tree/folder_tree_pane.h"
#include "shell/main_frame.h"
#include "log/output_pane.h"
#include "dialogs/prompt.h"
#include "shell/ribbon_bar.h"
#include "static_file_viewer.h"
#include "shell/url_opener.h"
#include "shell/user_guide.h"
#include "search/search_dlg.h"
#include "snapshot/snapshot_commands.h"

void CMainFrame::OnCommand(int id) {
  switch (id) {
    case ID_FILE_OPEN_BKF: OnFileOpen(); break;
    case ID_STOP_PROCESS:
      // Stop runs only while it is enabled.
      UpdateCommandUi();
      if (m_wndRibbonBar->Command(ID_STOP_PROCESS)->isEnabled()) OnStop();
      break;
    case ID_SAVE_RECOVERED: OnSaveRecovered(); break;
    case ID_SEARCH_FILES: OnSearch(); break;
    case ID_SAVE_LOG: OnSaveLog(); break;
    case ID_LOAD_SNAPSHOT: OnLoadSnapshot(); break;
    case ID_SAVE_SNAPSHOT: OnSaveSnapshot(); break;
    case ID_HELP_PAGE:
    case ID_STATUSBAR_LINK: OnHelp(); break;
    case ID_APP_ABOUT: OnAbout(); break;
    default:
      if (id >= int(ID_VIEW_APPLOOK_FIRST) && id <= int(ID_VIEW_APPLOOK_LAST)) OnApplicationLook(uint32_t(id));
      break;
  }
  UpdateCommandUi();
}

bool CMainFrame::RefuseWhileBusy(const char* text) {
  if (!IsBusy()) return false;
  ShowMessage(this, QString::fromLatin1(text));
  return true;
}

bool CMainFrame::RequireScanResult() {
  if (m_pScanner && !m_wndFileView->IsEmpty()) return true;
  ShowMessage(this, QString::fromLatin1(kNoResultText));
  return false;
}

void CMainFrame::OnSaveRecovered() {
  if (RefuseWhileBusy(kBusySaveText)) return;
  if (!RequireScanResult()) return;
  if (!m_wndFileView->HasCheckedItem()) {
    ShowMessage(this, QString::fromLatin1(kNothingCheckedText));
    return;
  }
  CSaveRecoveredDlg dialog(*this, GetCheckedFiles());
  Prompt().RunDialog(dialog);
}

void CMainFrame::OnSearch() {
  if (RefuseWhileBusy(kBusySearchText)) return;
  if (!RequireScanResult()) return;
  m_wndOutput->FileViewer()->DestroyChildView();
  m_wndOutput->ShowLogTab();
  CTarvelDlgSearchBkfFiles dialog(*this, m_state);
  Prompt().RunDialog(dialog);
}

void CMainFrame::OnSaveLog() { m_wndOutput->SaveLog(!m_wndFileView->IsEmpty()); }

void CMainFrame::OnLoadSnapshot() {
  if (RefuseWhileBusy(kBusyLoadSnapshotText)) return;
  LoadRecoverySnapshot(*this, m_state);
}

void CMainFrame::OnSaveSnapshot() {
  if (RefuseWhileBusy(kBusySaveSnapshotText)) return;
  if (m_wndFileView->IsEmpty()) {
    ShowMessage(this, QString::fromLatin1(kNoResultText));
    return;
  }
  SaveRecoverySnapshot(*this, m_state);
}

void CMainFrame::OnHelp() {
  const QUrl page = ProductPageUrl();
  // No browser or launcher: the user still learns where the guide is.
  OpenUrlExternally(page, this, [this, page] {
    const QString where = page.isLocalFile() ? page.toLocalFile() : page.toDisplayString();
    ShowMessage(this, QString::fromLatin1(kHelpNotOpenedText) + where);
  });
}

void CMainFrame::OnAbout() {
  CTarvelAboutDlg dialog(this);
  Prompt().RunDialog(dialog);
}
