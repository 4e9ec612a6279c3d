#include "dialogs/auto_open_prompt.h"

#include <QDialog>

#include "dialogs/recovery_selection_dlg.h"

MsgResult AutoOpenPrompt::MessageBox(QWidget*, const QString&, const QString&, MsgButtons buttons, MsgIcon) {
  ++m_messages;
  // Questions are answered No: nothing is stopped or closed by itself.
  return buttons == MsgButtons::YesNo ? MsgResult::No : MsgResult::Ok;
}

std::optional<QString> AutoOpenPrompt::FileDialog(QWidget*, const FileDialogRequest& request) {
  if (request.mode != FileDialogRequest::Mode::Open || m_path.isEmpty()) return std::nullopt;
  return m_path;
}

int AutoOpenPrompt::RunDialog(QDialog& dialog) {
  auto* selection = dynamic_cast<CTarvelRangeSliderDlg*>(&dialog);
  if (!selection) return QDialog::Rejected;
  selection->OnOK();
  return selection->result();
}

std::optional<int> AutoOpenPrompt::PopupMenu(QWidget*, const PopupMenuRequest&) { return std::nullopt; }
