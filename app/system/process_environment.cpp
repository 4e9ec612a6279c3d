#include "system/process_environment.h"

#include <unistd.h>

#include <QCoreApplication>
#include <QList>
#include <QtGlobal>

#include "preview_scheme.h"

namespace {
constexpr char kFlagsVariable[] = "QTWEBENGINE_CHROMIUM_FLAGS";
constexpr char kNoSandbox[] = "--no-sandbox";
}  // namespace

QByteArray WebEngineFlags(const QByteArray& existing, bool runningAsRoot) {
  QByteArray flags = existing.trimmed();
  if (!runningAsRoot) return flags;
  const QList<QByteArray> words = flags.split(' ');
  if (words.contains(QByteArray(kNoSandbox))) return flags;
  if (!flags.isEmpty()) flags += ' ';
  return flags + kNoSandbox;
}

void PrepareProcessEnvironment() {
  const QByteArray flags = WebEngineFlags(qgetenv(kFlagsVariable), geteuid() == 0);
  if (!flags.isEmpty()) qputenv(kFlagsVariable, flags);
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  RegisterPreviewScheme();
}
