#pragma once
// The program's own URL scheme for previewed pages that need more than file:
// URLs give: "quillon-preview://preview/NAME" serves the file NAME of the
// preview folder, "quillon-preview://preview/.ruffle/NAME" a file of the Flash
// emulator shipped with the program (same origin, so that the emulator can
// fetch its parts and the movie). Nothing else is served.

#include <QString>
#include <functional>
#include <QUrl>
#include <QWebEngineUrlSchemeHandler>

inline constexpr char kPreviewScheme[] = "quillon-preview";
inline constexpr char kPreviewHost[] = "preview";
inline constexpr char kRufflePathPrefix[] = "/.ruffle/";

// Registers the scheme with the web component. Call before the application
// object exists; later calls do nothing.
void RegisterPreviewScheme();

// The scheme's address of a file of the preview folder.
QUrl PreviewSchemeUrl(const QString& fileName);

// The folder holding the Flash emulator (ruffle.js and its parts), or empty
// when the program was built without it.
QString RuffleFolder();

class CPreviewSchemeHandler : public QWebEngineUrlSchemeHandler {
  Q_OBJECT
 public:
  // folderOf: gives the preview folder at the time of each request.
  CPreviewSchemeHandler(std::function<QString()> folderOf, QObject* parent = nullptr);
  void requestStarted(QWebEngineUrlRequestJob* job) override;

 private:
  std::function<QString()> m_folderOf;
};
