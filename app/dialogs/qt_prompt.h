#pragma once
// The program's prompt: Qt message boxes, file dialogs and popup menus.

#include "dialogs/prompt.h"

class QFileDialog;

// Sets Qt's own file dialog up for a request: mode, filters (matched in any
// letter case, so "*bkf" shows BACKUP.BKF), default extension, first name.
void ConfigureFileDialog(QFileDialog& dialog, const FileDialogRequest& request);

class QtPrompt : public IPrompt {
 public:
  MsgResult MessageBox(QWidget* owner, const QString& text, const QString& caption, MsgButtons buttons,
                       MsgIcon icon) override;
  std::optional<QString> FileDialog(QWidget* owner, const FileDialogRequest& request) override;
  int RunDialog(QDialog& dialog) override;
  std::optional<int> PopupMenu(QWidget* owner, const PopupMenuRequest& request) override;
};
