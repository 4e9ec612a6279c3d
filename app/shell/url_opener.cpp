#include "shell/url_opener.h"

#include <QDesktopServices>
#include <QPointer>
#include <QProcess>
#include <QStandardPaths>

namespace {
UrlOpener& Installed() {
  static UrlOpener opener;
  return opener;
}
}  // namespace

bool OpenUrlExternally(const QUrl& url) {
  if (Installed()) return Installed()(url);
  return QDesktopServices::openUrl(url);
}

void OpenUrlExternally(const QUrl& url, QObject* context, std::function<void()> failed) {
  const QString launcher = Installed() ? QString() : QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
  if (launcher.isEmpty()) {
    if (!OpenUrlExternally(url)) failed();
    return;
  }
  // xdg-open says by its exit status whether a program took the address;
  // Qt's own call only says whether xdg-open started.
  auto* process = new QProcess(context);
  process->setProgram(launcher);
  process->setArguments({url.toString(QUrl::FullyEncoded)});
  process->setStandardOutputFile(QProcess::nullDevice());
  process->setStandardErrorFile(QProcess::nullDevice());
  QObject::connect(process, &QProcess::finished, context,
                   [process, failed](int exitCode, QProcess::ExitStatus status) {
                     process->deleteLater();
                     if (status != QProcess::NormalExit || exitCode != 0) failed();
                   });
  QObject::connect(process, &QProcess::errorOccurred, context, [process, failed](QProcess::ProcessError error) {
    if (error != QProcess::FailedToStart) return;
    process->deleteLater();
    failed();
  });
  process->start();
}

void SetUrlOpener(UrlOpener opener) { Installed() = std::move(opener); }
