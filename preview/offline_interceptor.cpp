#include "offline_interceptor.h"

#include <QDir>
#include <QFileInfo>
#include <QMutexLocker>

#include "preview_scheme.h"

namespace {

bool IsInside(const QString& path, const QString& folder) {
  return !folder.isEmpty() && path.startsWith(folder + QLatin1Char('/')) &&
         path.size() > folder.size() + 1;
}

}  // namespace

bool IsPreviewRequestAllowed(const QUrl& url, const QString& previewFolder) {
  const QString scheme = url.scheme().toLower();
  if (scheme == QLatin1String("data") || scheme == QLatin1String("blob")) return true;
  if (scheme == QLatin1String(kPreviewScheme)) return true;  // its handler keeps to its folders
  if (scheme == QLatin1String("about")) {
    const QString path = url.path();
    return path == QLatin1String("blank") || path == QLatin1String("srcdoc");
  }
  if (scheme != QLatin1String("file") || !url.host().isEmpty()) return false;

  const QString folder = QDir::cleanPath(previewFolder);
  if (previewFolder.isEmpty() || !QDir::isAbsolutePath(folder)) return false;
  const QString path = QDir::cleanPath(url.toLocalFile());
  if (!IsInside(path, folder)) return false;
  // A link inside the folder must not lead out of it.
  const QFileInfo target(path);
  if (target.exists() || target.isSymLink()) {
    const QString realFolder = QFileInfo(folder).canonicalFilePath();
    const QString realPath = target.canonicalFilePath();
    if (realPath.isEmpty() || !IsInside(realPath, realFolder)) return false;
  }
  return true;
}

void COfflineRequestInterceptor::SetPreviewFolder(const QString& folder) {
  QMutexLocker lock(&m_mutex);
  m_strFolder = folder;
}

QString COfflineRequestInterceptor::PreviewFolder() const {
  QMutexLocker lock(&m_mutex);
  return m_strFolder;
}

void COfflineRequestInterceptor::interceptRequest(QWebEngineUrlRequestInfo& info) {
  if (!IsPreviewRequestAllowed(info.requestUrl(), PreviewFolder())) info.block(true);
}
