#pragma once
// The one web profile of previewed pages: off the record (nothing of a page is
// kept on disk), offline (COfflineRequestInterceptor), no downloads, the
// program's own scheme installed, and settings that keep pages quiet.

#include <QString>

class QWebEngineProfile;

// The profile, made on first use; it lives as long as the application object.
QWebEngineProfile* PreviewProfile();
// The folder whose files previewed pages may load.
void SetPreviewPageFolder(const QString& folder);
QString PreviewPageFolder();
