#include "preview_scheme.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlScheme>
#include <QFile>
#include <cerrno>
#include <cstring>
#include <optional>

namespace {

// Larger than any previewed file (the preview stops at 21 MiB).
constexpr qint64 kMaxServedBytes = 32 << 20;

bool IsPlainName(const QString& name) {
  return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..") &&
         !name.contains(QLatin1Char('/')) && !name.contains(QChar(u'\0'));
}

// Reads a regular file without following a link and without blocking on a
// FIFO or device.
std::optional<QByteArray> ReadServedFile(const QString& path) {
  const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size > kMaxServedBytes) {
    ::close(fd);
    return std::nullopt;
  }
  QByteArray bytes(static_cast<qsizetype>(info.st_size), '\0');
  qsizetype got = 0;
  while (got < bytes.size()) {
    const ssize_t n = ::read(fd, bytes.data() + got, static_cast<size_t>(bytes.size() - got));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    got += n;
  }
  ::close(fd);
  bytes.truncate(got);
  return bytes;
}

QByteArray MimeTypeOf(const QString& name) {
  const QString suffix = QFileInfo(name).suffix().toLower();
  if (suffix == QLatin1String("htm") || suffix == QLatin1String("html")) return "text/html";
  if (suffix == QLatin1String("js")) return "text/javascript";
  if (suffix == QLatin1String("wasm")) return "application/wasm";
  if (suffix == QLatin1String("swf")) return "application/x-shockwave-flash";
  return "application/octet-stream";
}

}  // namespace

void RegisterPreviewScheme() {
  static bool registered = false;
  if (registered) return;
  registered = true;
  QWebEngineUrlScheme scheme(kPreviewScheme);
  scheme.setSyntax(QWebEngineUrlScheme::Syntax::Host);
  scheme.setFlags(QWebEngineUrlScheme::SecureScheme | QWebEngineUrlScheme::CorsEnabled);
  QWebEngineUrlScheme::registerScheme(scheme);
}

QUrl PreviewSchemeUrl(const QString& fileName) {
  QUrl url;
  url.setScheme(QLatin1String(kPreviewScheme));
  url.setHost(QLatin1String(kPreviewHost));
  url.setPath(QLatin1Char('/') + fileName);
  return url;
}

QString RuffleFolder() {
  QStringList candidates{QCoreApplication::applicationDirPath() +
                         QStringLiteral("/../share/quillon-repair/ruffle")};
#ifdef QUILLON_RUFFLE_BUILD_DIR
  candidates << QStringLiteral(QUILLON_RUFFLE_BUILD_DIR);
#endif
  for (const QString& folder : candidates) {
    if (QFileInfo(folder + QStringLiteral("/ruffle.js")).isFile()) return QDir::cleanPath(folder);
  }
  return {};
}

CPreviewSchemeHandler::CPreviewSchemeHandler(std::function<QString()> folderOf, QObject* parent)
    : QWebEngineUrlSchemeHandler(parent), m_folderOf(std::move(folderOf)) {}

void CPreviewSchemeHandler::requestStarted(QWebEngineUrlRequestJob* job) {
  const QUrl url = job->requestUrl();
  if (url.host() != QLatin1String(kPreviewHost)) {
    job->fail(QWebEngineUrlRequestJob::UrlNotFound);
    return;
  }
  const QString path = url.path(QUrl::FullyDecoded);
  QString folder;
  QString name;
  if (path.startsWith(QLatin1String(kRufflePathPrefix))) {
    folder = RuffleFolder();
    name = path.mid(int(strlen(kRufflePathPrefix)));
  } else if (path.startsWith(QLatin1Char('/'))) {
    folder = m_folderOf();
    name = path.mid(1);
  }
  if (folder.isEmpty() || !IsPlainName(name)) {
    job->fail(QWebEngineUrlRequestJob::UrlNotFound);
    return;
  }
  const std::optional<QByteArray> bytes = ReadServedFile(QDir(folder).filePath(name));
  if (!bytes) {
    job->fail(QWebEngineUrlRequestJob::UrlNotFound);
    return;
  }
  auto* buffer = new QBuffer(job);
  buffer->setData(*bytes);
  buffer->open(QIODevice::ReadOnly);
  job->reply(MimeTypeOf(name), buffer);
}
