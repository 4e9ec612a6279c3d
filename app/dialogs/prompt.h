#pragma once
// The prompt layer: every message box, file dialog and modal dialog of the
// program goes through the one IPrompt installed here. The program installs
// QtPrompt; the tests install a scripted prompt that answers from queues and
// records what was shown, so nothing ever blocks on a dialog.

#include <QList>
#include <QPair>
#include <QPoint>
#include <QString>
#include <optional>

#include "notify.h"

class QDialog;
class QWidget;

// What a file dialog is asked for.
struct FileDialogRequest {
  enum class Mode { Open, Save, Folder };  // Folder: an existing folder is picked
  Mode mode = Mode::Open;
  QString title;             // empty: the dialog's standard title
  QString filter;            // pairs "label|pattern|", ended by "|", e.g. "Text Files (*.TXT)|*.txt||"
  QString defaultExtension;  // appended to a name typed without extension
  QString initialName;       // the file name shown at first
  bool fileMustExist = false;
  bool hideReadOnly = false;
  bool confirmOverwrite = false;  // ask before an existing file is replaced

  bool operator==(const FileDialogRequest&) const = default;
};

// A popup menu: its name, its items (command id and label) in order, and the
// screen position where it opens.
struct PopupMenuRequest {
  QString name;
  QList<QPair<int, QString>> items;
  QPoint position;
};

class IPrompt {
 public:
  virtual ~IPrompt() = default;
  // A modal message box; owner may be none.
  virtual MsgResult MessageBox(QWidget* owner, const QString& text, const QString& caption, MsgButtons buttons,
                               MsgIcon icon) = 0;
  // A file dialog: the chosen full path, or none when cancelled.
  virtual std::optional<QString> FileDialog(QWidget* owner, const FileDialogRequest& request) = 0;
  // Runs a dialog modally and returns its result (QDialog::Accepted or Rejected).
  virtual int RunDialog(QDialog& dialog) = 0;
  // Shows a popup menu and waits for the choice: the chosen command id, or
  // none when the menu was dismissed.
  virtual std::optional<int> PopupMenu(QWidget* owner, const PopupMenuRequest& request) = 0;
};

// The installed prompt.
IPrompt& Prompt();
// Installs a prompt (none: the program's own QtPrompt again).
void SetPrompt(IPrompt* prompt);

// The product caption as a QString.
QString ProductCaptionText();

// A message box with the product caption.
MsgResult ShowMessage(QWidget* owner, const QString& text, MsgIcon icon = MsgIcon::Information,
                      MsgButtons buttons = MsgButtons::Ok);

// The (label, pattern) pairs of a filter string "label|pattern|...||".
struct FileFilterEntry {
  QString label;
  QString pattern;
};
QList<FileFilterEntry> ParseFileFilter(const QString& filter);
