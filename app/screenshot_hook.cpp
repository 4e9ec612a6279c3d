#include "screenshot_hook.h"

#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QTimer>
#include <cstdio>

#include "process_exit.h"

void ArmScreenshotHook() {
  const QString path = qEnvironmentVariable("QUILLON_SCREENSHOT");
  if (path.isEmpty()) return;
  bool ok = false;
  int delay = qEnvironmentVariableIntValue("QUILLON_SCREENSHOT_DELAY_MS", &ok);
  if (!ok || delay < 0) delay = 3500;
  QTimer::singleShot(delay, qApp, [path] {
    QScreen* screen = QGuiApplication::primaryScreen();
    const bool saved = screen && screen->grabWindow(0).save(path, "PNG");
    std::fprintf(stderr, saved ? "Screenshot saved: %s\n" : "Screenshot failed: %s\n", qPrintable(path));
    ExitProcessNow(saved ? 0 : 1);
  });
}
