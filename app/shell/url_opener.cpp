#include "shell/url_opener.h"

#include <QDesktopServices>

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

void SetUrlOpener(UrlOpener opener) { Installed() = std::move(opener); }
