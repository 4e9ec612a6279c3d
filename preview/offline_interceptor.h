#pragma once
// Keeps a previewed page offline and inside the preview folder: every request
// that is not file:, data:, blob:, about:blank or the program's own scheme is
// refused, and a file: request only reaches files inside the preview folder.
// A recovered page can neither reach the network nor read the user's files.

#include <QMutex>
#include <QString>
#include <QUrl>
#include <QWebEngineUrlRequestInterceptor>

// The rule itself. previewFolder: the folder's path, with or without a
// trailing separator; an empty folder allows no file at all.
bool IsPreviewRequestAllowed(const QUrl& url, const QString& previewFolder);

class COfflineRequestInterceptor : public QWebEngineUrlRequestInterceptor {
  Q_OBJECT
 public:
  using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;

  void SetPreviewFolder(const QString& folder);
  QString PreviewFolder() const;
  void interceptRequest(QWebEngineUrlRequestInfo& info) override;

 private:
  mutable QMutex m_mutex;
  QString m_strFolder;
};
