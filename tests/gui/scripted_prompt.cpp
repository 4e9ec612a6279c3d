#include "scripted_prompt.h"

#include <QDialog>

MsgResult ScriptedPrompt::MessageBox(QWidget* owner, const QString& text, const QString& caption,
                                     MsgButtons buttons, MsgIcon icon) {
  shown.push_back({text, caption, buttons, icon, owner != nullptr, QThread::currentThread()});
  if (!answers.empty()) {
    const MsgResult answer = answers.front();
    answers.pop_front();
    return answer;
  }
  return buttons == MsgButtons::YesNo ? MsgResult::No : MsgResult::Ok;
}

std::optional<QString> ScriptedPrompt::FileDialog(QWidget*, const FileDialogRequest& request) {
  fileRequests.push_back(request);
  if (fileNames.empty()) return std::nullopt;
  const QString name = fileNames.front();
  fileNames.pop_front();
  if (name.isNull()) return std::nullopt;
  return name;
}

int ScriptedPrompt::RunDialog(QDialog& dialog) {
  dialogsRun << QString::fromLatin1(dialog.metaObject()->className());
  if (dialogScripts.empty()) return QDialog::Rejected;
  DialogScript script = std::move(dialogScripts.front());
  dialogScripts.pop_front();
  return script(dialog);
}

std::optional<int> ScriptedPrompt::PopupMenu(QWidget*, const PopupMenuRequest& request) {
  menus.push_back(request);
  if (whileMenuOpen) whileMenuOpen(request);
  if (menuChoices.empty()) return std::nullopt;
  const std::optional<int> choice = menuChoices.front();
  menuChoices.pop_front();
  return choice;
}

void ScriptedPrompt::Clear() {
  answers.clear();
  fileNames.clear();
  dialogScripts.clear();
  shown.clear();
  fileRequests.clear();
  dialogsRun.clear();
  menuChoices.clear();
  whileMenuOpen = nullptr;
  menus.clear();
}

QStringList ScriptedPrompt::Texts() const {
  QStringList texts;
  for (const Shown& s : shown) texts << s.text;
  return texts;
}
