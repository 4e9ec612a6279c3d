#include "gui_bench_support.h"

#include <QApplication>
#include <cstdlib>

#include "shell/main_frame.h"

namespace bench {

void UsePrivateHome(const QTemporaryDir& home) {
  setenv("XDG_CONFIG_HOME", qPrintable(home.filePath(QStringLiteral("config"))), 1);
  setenv("XDG_RUNTIME_DIR", qPrintable(home.path()), 1);
  setenv("TMPDIR", qPrintable(home.path()), 1);
  if (!getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  setenv("QT_LOGGING_RULES", "qt.qpa.*=false", 1);
}

bool ShowMainFrame(CMainFrame& frame, QSize size) {
  if (!frame.Create()) return false;
  frame.resize(size);
  frame.show();
  QApplication::processEvents();
  return true;
}

}  // namespace bench
