#include "browser_view.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>

#include "preview_profile.h"
#include "preview_scheme.h"
#include "preview_text.h"
#include "simple_browser.h"

namespace {

QString WrapperScript(const QJsonObject& config) {
  QFile file(QStringLiteral(":/preview/wrapper_page.js"));
  if (!file.open(QIODevice::ReadOnly)) return {};
  return QString::fromUtf8(file.readAll()) + QLatin1Char('(') +
         QString::fromUtf8(QJsonDocument(config).toJson(QJsonDocument::Compact)) +
         QStringLiteral(");");
}

void AddWrapperScript(SimpleBrowser* browser, const QJsonObject& config) {
  QWebEngineScript script;
  script.setName(QStringLiteral("quillon-wrapper-page"));
  script.setInjectionPoint(QWebEngineScript::DocumentReady);
  script.setWorldId(QWebEngineScript::MainWorld);
  script.setRunsOnSubFrames(false);
  script.setSourceCode(WrapperScript(config));
  browser->Page()->scripts().insert(script);
}

}  // namespace

WrapperPage ClassifyWrapperPage(const QByteArray& page) {
  const QByteArray lower = page.left(64 * 1024).toLower();
  if (lower.contains("clsid:22d6f312-b0f6-11d0-94ab-0080c74c7e95")) return WrapperPage::Media;
  if (lower.contains("clsid:d27cdb6e-ae6d-11cf-96b8-444553540000")) return WrapperPage::Flash;
  return WrapperPage::None;
}

SimpleBrowser* OpenInBrowser(const QString& path, const QString& previewFolder, QWidget* parent) {
  SetPreviewPageFolder(previewFolder);
  auto* browser = new SimpleBrowser;
  if (!browser->Create(parent ? parent->rect() : QRect(), parent)) {
    delete browser;
    return nullptr;
  }
  const QFileInfo info(path);
  WrapperPage wrapper = WrapperPage::None;
  if (info.fileName() == QLatin1String(kWrapperPageName)) {
    if (const auto bytes = ReadTextViewBytes(path)) wrapper = ClassifyWrapperPage(*bytes);
  }
  QUrl url = QUrl::fromLocalFile(path);
  QJsonObject config;
  if (wrapper == WrapperPage::Flash) {
    if (!RuffleFolder().isEmpty()) {
      // Through the program's scheme: the emulator fetches its parts and the
      // movie, which file: addresses do not allow.
      const QUrl ruffle = PreviewSchemeUrl(QStringLiteral(".ruffle/ruffle.js"));
      config.insert(QStringLiteral("ruffle"), ruffle.toString());
      config.insert(QStringLiteral("scheme"), QString::fromLatin1(kPreviewScheme));
      config.insert(QStringLiteral("rufflePath"),
                    PreviewSchemeUrl(QStringLiteral(".ruffle/")).toString());
      url = PreviewSchemeUrl(info.fileName());
    }
    AddWrapperScript(browser, config);
  } else if (wrapper == WrapperPage::Media) {
    AddWrapperScript(browser, config);
  }
  browser->Navigate(url);
  return browser;
}
