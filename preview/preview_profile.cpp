#include "preview_profile.h"

#include <QCoreApplication>
#include <QPointer>
#include <QWebEngineDownloadRequest>
#include <QWebEngineProfile>
#include <QWebEngineSettings>

#include "offline_interceptor.h"
#include "preview_scheme.h"

namespace {

QPointer<QWebEngineProfile> g_profile;
COfflineRequestInterceptor* g_interceptor = nullptr;

void ApplySettings(QWebEngineSettings* s) {
  using S = QWebEngineSettings;
  s->setAttribute(S::JavascriptEnabled, true);
  s->setAttribute(S::JavascriptCanOpenWindows, false);
  s->setAttribute(S::JavascriptCanAccessClipboard, false);
  s->setAttribute(S::JavascriptCanPaste, false);
  s->setAttribute(S::AllowWindowActivationFromJavaScript, false);
  s->setAttribute(S::LocalContentCanAccessRemoteUrls, false);
  s->setAttribute(S::LocalContentCanAccessFileUrls, true);
  s->setAttribute(S::AllowRunningInsecureContent, false);
  s->setAttribute(S::AllowGeolocationOnInsecureOrigins, false);
  s->setAttribute(S::PluginsEnabled, false);
  s->setAttribute(S::PdfViewerEnabled, false);
  s->setAttribute(S::FullScreenSupportEnabled, false);
  s->setAttribute(S::ScreenCaptureEnabled, false);
  s->setAttribute(S::WebRTCPublicInterfacesOnly, true);
  s->setAttribute(S::DnsPrefetchEnabled, false);
  s->setAttribute(S::HyperlinkAuditingEnabled, false);
  s->setAttribute(S::AutoLoadIconsForPage, false);
  s->setAttribute(S::TouchIconsEnabled, false);
  s->setAttribute(S::FocusOnNavigationEnabled, false);
  s->setAttribute(S::NavigateOnDropEnabled, false);
  s->setAttribute(S::ErrorPageEnabled, false);
  s->setAttribute(S::PlaybackRequiresUserGesture, false);
}

}  // namespace

QWebEngineProfile* PreviewProfile() {
  if (g_profile) return g_profile;
  // No storage name: an off-the-record profile, kept in memory only.
  auto* profile = new QWebEngineProfile(QCoreApplication::instance());
  profile->setHttpCacheType(QWebEngineProfile::MemoryHttpCache);
  profile->setPersistentCookiesPolicy(QWebEngineProfile::NoPersistentCookies);
  profile->setSpellCheckEnabled(false);
  g_interceptor = new COfflineRequestInterceptor(profile);
  profile->setUrlRequestInterceptor(g_interceptor);
  profile->installUrlSchemeHandler(kPreviewScheme,
                                   new CPreviewSchemeHandler(&PreviewPageFolder, profile));
  QObject::connect(profile, &QWebEngineProfile::downloadRequested,
                   [](QWebEngineDownloadRequest* download) { download->cancel(); });
  ApplySettings(profile->settings());
  g_profile = profile;
  return profile;
}

void SetPreviewPageFolder(const QString& folder) {
  PreviewProfile();
  g_interceptor->SetPreviewFolder(folder);
}

QString PreviewPageFolder() { return g_interceptor ? g_interceptor->PreviewFolder() : QString(); }
