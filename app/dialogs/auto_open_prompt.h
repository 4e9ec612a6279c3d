#pragma once
// A prompt that goes through the Open command by itself: the file dialog
// answers with a given file, the recovery selection dialog is confirmed with
// its defaults, every message box is answered with OK (a question with No),
// and other dialogs and menus are cancelled. The screenshot
// hook and the benchmarks drive the program with it.

#include "dialogs/prompt.h"

class AutoOpenPrompt : public IPrompt {
 public:
  explicit AutoOpenPrompt(QString path = {}) : m_path(std::move(path)) {}

  void SetPath(const QString& path) { m_path = path; }

  MsgResult MessageBox(QWidget* owner, const QString& text, const QString& caption, MsgButtons buttons,
                       MsgIcon icon) override;
  std::optional<QString> FileDialog(QWidget* owner, const FileDialogRequest& request) override;
  int RunDialog(QDialog& dialog) override;
  std::optional<int> PopupMenu(QWidget* owner, const PopupMenuRequest& request) override;

  // Message boxes answered so far.
  int MessageCount() const { return m_messages; }

 private:
  QString m_path;
  int m_messages = 0;
};
