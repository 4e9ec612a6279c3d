#include "dialogs/qt_prompt.h"

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QMenu>
#include <QMessageBox>

namespace {

// While a dialog is open the pointer shows the normal arrow, even when the
// command that opened it shows the wait cursor.
class ArrowWhileOpen {
 public:
  ArrowWhileOpen() : m_active(QApplication::overrideCursor() != nullptr) {
    if (m_active) QApplication::setOverrideCursor(Qt::ArrowCursor);
  }
  ~ArrowWhileOpen() {
    if (m_active) QApplication::restoreOverrideCursor();
  }
  ArrowWhileOpen(const ArrowWhileOpen&) = delete;
  ArrowWhileOpen& operator=(const ArrowWhileOpen&) = delete;

 private:
  bool m_active;
};

QMessageBox::Icon ToQtIcon(MsgIcon icon) {
  switch (icon) {
    case MsgIcon::Information: return QMessageBox::Information;
    case MsgIcon::Question: return QMessageBox::Question;
    case MsgIcon::Warning: return QMessageBox::Warning;
    case MsgIcon::Error: return QMessageBox::Critical;
    case MsgIcon::None: break;
  }
  return QMessageBox::NoIcon;
}

}  // namespace

MsgResult QtPrompt::MessageBox(QWidget* owner, const QString& text, const QString& caption, MsgButtons buttons,
                               MsgIcon icon) {
  ArrowWhileOpen arrow;
  const QMessageBox::StandardButtons qtButtons =
      buttons == MsgButtons::YesNo ? (QMessageBox::Yes | QMessageBox::No) : QMessageBox::Ok;
  QMessageBox box(ToQtIcon(icon), caption, text, qtButtons, owner);
  box.setDefaultButton(buttons == MsgButtons::YesNo ? QMessageBox::Yes : QMessageBox::Ok);
  const int answer = box.exec();
  if (buttons == MsgButtons::YesNo) return answer == QMessageBox::Yes ? MsgResult::Yes : MsgResult::No;
  return MsgResult::Ok;
}

void ConfigureFileDialog(QFileDialog& dialog, const FileDialogRequest& request) {
  // Qt's own dialog: it applies the default extension before it checks for an
  // existing file, so the replace question is asked for the final name.
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setOption(QFileDialog::HideNameFilterDetails);
  const bool save = request.mode == FileDialogRequest::Mode::Save;
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(!save && request.fileMustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
  if (request.mode == FileDialogRequest::Mode::Folder) {
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    if (!request.initialName.isEmpty()) dialog.setDirectory(request.initialName);
  }
  if (save && !request.confirmOverwrite) dialog.setOption(QFileDialog::DontConfirmOverwrite);
  // The label is what the user sees; the pattern in parentheses is what filters
  // (HideNameFilterDetails hides it).
  QStringList filters;
  for (const FileFilterEntry& entry : ParseFileFilter(request.filter))
    filters << entry.label + QStringLiteral(" (") + entry.pattern + QLatin1Char(')');
  if (!filters.isEmpty()) dialog.setNameFilters(filters);
  if (!request.defaultExtension.isEmpty()) dialog.setDefaultSuffix(request.defaultExtension);
  // A wildcard initial name only repeats the filter; Qt's dialog filters by itself.
  if (request.mode != FileDialogRequest::Mode::Folder && !request.initialName.isEmpty() &&
      !request.initialName.contains(QLatin1Char('*')))
    dialog.selectFile(request.initialName);
  // Names from FAT media and old Windows copies come in capitals.
  dialog.setFilter(dialog.filter() & ~QDir::CaseSensitive);
}

std::optional<QString> QtPrompt::FileDialog(QWidget* owner, const FileDialogRequest& request) {
  ArrowWhileOpen arrow;
  QFileDialog dialog(owner, request.title);
  ConfigureFileDialog(dialog, request);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  const QStringList files = dialog.selectedFiles();
  if (files.isEmpty()) return std::nullopt;
  return files.first();
}

int QtPrompt::RunDialog(QDialog& dialog) {
  ArrowWhileOpen arrow;
  return dialog.exec();
}

std::optional<int> QtPrompt::PopupMenu(QWidget* owner, const PopupMenuRequest& request) {
  ArrowWhileOpen arrow;
  QMenu menu(request.name, owner);
  menu.setObjectName(request.name);
  for (const auto& [id, label] : request.items) menu.addAction(label)->setData(id);
  const QAction* chosen = menu.exec(request.position);
  if (!chosen) return std::nullopt;
  return chosen->data().toInt();
}
