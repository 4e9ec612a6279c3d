#pragma once
// The prompt of the tests: answers message boxes, file dialogs and modal
// dialogs from queues and records everything it was asked, so that no test
// ever waits for a person.

#include <QString>
#include <QStringList>
#include <QThread>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

#include "dialogs/prompt.h"

class ScriptedPrompt : public IPrompt {
 public:
  struct Shown {
    QString text;
    QString caption;
    MsgButtons buttons;
    MsgIcon icon;
    bool hadOwner;
    QThread* thread;
  };
  using DialogScript = std::function<int(QDialog&)>;

  MsgResult MessageBox(QWidget* owner, const QString& text, const QString& caption, MsgButtons buttons,
                       MsgIcon icon) override;
  std::optional<QString> FileDialog(QWidget* owner, const FileDialogRequest& request) override;
  int RunDialog(QDialog& dialog) override;
  std::optional<int> PopupMenu(QWidget* owner, const PopupMenuRequest& request) override;

  void Clear();
  QStringList Texts() const;

  // Answers of the next message boxes; when empty: OK, or No for a question.
  std::deque<MsgResult> answers;
  // Answers of the next file dialogs; a null name (and an empty queue) cancels.
  std::deque<QString> fileNames;
  // Scripts of the next modal dialogs; without one a dialog is cancelled.
  std::deque<DialogScript> dialogScripts;
  // Choices of the next popup menus; a none (and an empty queue) dismisses.
  std::deque<std::optional<int>> menuChoices;
  // Runs while a popup menu is open (to start a process meanwhile, say).
  std::function<void(const PopupMenuRequest&)> whileMenuOpen;

  std::vector<Shown> shown;
  std::vector<FileDialogRequest> fileRequests;
  QStringList dialogsRun;  // class names
  std::vector<PopupMenuRequest> menus;
};
