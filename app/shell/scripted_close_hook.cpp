#include "shell/scripted_close_hook.h"

#include <QCoreApplication>
#include <QTimer>
#include <cstdio>

#include "dialogs/prompt.h"
#include "shell/main_frame.h"
#include "shell/user_guide.h"
#include "system/process_exit.h"

namespace {

// Answers the close question Yes and cancels everything else.
class CloseYesPrompt : public IPrompt {
 public:
  MsgResult MessageBox(QWidget*, const QString& text, const QString&, MsgButtons buttons, MsgIcon) override {
    std::fprintf(stderr, "Message: %s\n", qPrintable(text));
    return buttons == MsgButtons::YesNo ? MsgResult::Yes : MsgResult::Ok;
  }
  std::optional<QString> FileDialog(QWidget*, const FileDialogRequest&) override { return std::nullopt; }
  int RunDialog(QDialog&) override { return 0; }
  std::optional<int> PopupMenu(QWidget*, const PopupMenuRequest&) override { return std::nullopt; }
};

void CloseNow(CMainFrame* frame) {
  if (!frame || !frame->isVisible()) {
    std::fprintf(stderr, "Main window not shown\n");
    ExitProcessNow(1);
    return;
  }
  std::fprintf(stderr, "Main window shown: %s %dx%d\n", qPrintable(frame->windowTitle()), frame->width(),
               frame->height());
  std::fprintf(stderr, "User guide: %s\n", qPrintable(ProductPageUrl().toString()));
  static CloseYesPrompt prompt;
  SetPrompt(&prompt);
  frame->close();
}

}  // namespace

void ArmScriptedCloseHook(CMainFrame* frame) {
  bool ok = false;
  const int delay = qEnvironmentVariableIntValue("QUILLON_SCRIPTED_CLOSE_MS", &ok);
  if (!ok || delay < 0) return;
  QTimer::singleShot(delay, qApp, [frame] { CloseNow(frame); });
}
