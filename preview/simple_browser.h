#pragma once
// The browser view of the preview pane: a host window with a web view that
// is silent (no alert, confirm, prompt, print, file or permission dialogs),
// offline and confined to the preview folder (the preview profile), shows no
// context menu, takes no Alt shortcuts, downloads nothing and opens no windows.

#include <QRect>
#include <QUrl>
#include <QWebEnginePage>
#include <QWidget>

class QWebEngineView;

inline constexpr int IDC_BROWSER_VIEW = 321;
// How long Create waits for the empty page before it goes on without it.
inline constexpr int kBlankPageWaitMs = 5000;

// A page that answers every question of a script itself and shows nothing.
class CSilentPage : public QWebEnginePage {
  Q_OBJECT
 public:
  explicit CSilentPage(QWebEngineProfile* profile, QObject* parent = nullptr);

  // What scripts asked for since the page was made (for the log of a test).
  int DialogsRefused() const { return m_nDialogsRefused; }

 protected:
  void javaScriptAlert(const QUrl& securityOrigin, const QString& msg) override;
  bool javaScriptConfirm(const QUrl& securityOrigin, const QString& msg) override;
  bool javaScriptPrompt(const QUrl& securityOrigin, const QString& msg, const QString& defaultValue,
                        QString* result) override;
  void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message,
                                int lineNumber, const QString& sourceID) override;
  QStringList chooseFiles(FileSelectionMode mode, const QStringList& oldFiles,
                          const QStringList& acceptedMimeTypes) override;
  QWebEnginePage* createWindow(WebWindowType type) override;
  bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;

 private:
  int m_nDialogsRefused = 0;
};

class SimpleBrowser : public QWidget {
  Q_OBJECT
 public:
  explicit SimpleBrowser(QWidget* parent = nullptr);
  ~SimpleBrowser() override;

  // Makes the web view over rect of parent and waits (at most
  // kBlankPageWaitMs, the event loop running) for its empty page.
  bool Create(const QRect& rect, QWidget* parent);
  // Starts loading url and returns at once.
  void Navigate(const QUrl& url);
  // Empties the view.
  void Clear();

  QWebEngineView* View() const { return m_pView; }
  CSilentPage* Page() const { return m_pPage; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void WatchInput(QObject* object);
  void WaitForLoad();

  QWebEngineView* m_pView = nullptr;
  CSilentPage* m_pPage = nullptr;
};
