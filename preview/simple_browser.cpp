#include "simple_browser.h"

#include <QAuthenticator>
#include <QChildEvent>
#include <QEventLoop>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTimer>
#include <QVBoxLayout>
#include <QWebEngineFullScreenRequest>
#include <QWebEngineProfile>
#include <QWebEngineRegisterProtocolHandlerRequest>
#include <QWebEngineView>

#include "offline_interceptor.h"
#include "preview_profile.h"

CSilentPage::CSilentPage(QWebEngineProfile* profile, QObject* parent)
    : QWebEnginePage(profile, parent) {
  connect(this, &QWebEnginePage::featurePermissionRequested, this,
          [this](const QUrl& origin, Feature feature) {
            setFeaturePermission(origin, feature, PermissionDeniedByUser);
          });
  connect(this, &QWebEnginePage::fullScreenRequested, this,
          [](QWebEngineFullScreenRequest request) { request.reject(); });
  connect(this, &QWebEnginePage::registerProtocolHandlerRequested, this,
          [](QWebEngineRegisterProtocolHandlerRequest request) { request.reject(); });
  connect(this, &QWebEnginePage::authenticationRequired, this,
          [](const QUrl&, QAuthenticator* authenticator) { *authenticator = QAuthenticator(); });
  connect(this, &QWebEnginePage::proxyAuthenticationRequired, this,
          [](const QUrl&, QAuthenticator* authenticator, const QString&) {
            *authenticator = QAuthenticator();
          });
  // printRequested is left unconnected: a page's print() does nothing.
}

void CSilentPage::javaScriptAlert(const QUrl&, const QString&) { ++m_nDialogsRefused; }

bool CSilentPage::javaScriptConfirm(const QUrl&, const QString&) {
  ++m_nDialogsRefused;
  return false;
}

bool CSilentPage::javaScriptPrompt(const QUrl&, const QString&, const QString&, QString*) {
  ++m_nDialogsRefused;
  return false;
}

void CSilentPage::javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString&, int,
                                           const QString&) {}

QStringList CSilentPage::chooseFiles(FileSelectionMode, const QStringList&, const QStringList&) {
  ++m_nDialogsRefused;
  return {};
}

QWebEnginePage* CSilentPage::createWindow(WebWindowType) { return nullptr; }

bool CSilentPage::acceptNavigationRequest(const QUrl& url, NavigationType, bool) {
  return IsPreviewRequestAllowed(url, PreviewPageFolder());
}

SimpleBrowser::SimpleBrowser(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("browserView"));
  setProperty("controlId", IDC_BROWSER_VIEW);
  setAccessibleName(tr("File page"));
}

SimpleBrowser::~SimpleBrowser() {
  if (m_pView) m_pView->stop();
}

bool SimpleBrowser::Create(const QRect& rect, QWidget* parent) {
  if (m_pView) return true;
  setParent(parent);
  setGeometry(rect);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  m_pView = new QWebEngineView(this);
  m_pView->setObjectName(QStringLiteral("browserWebView"));
  m_pView->setAccessibleName(tr("File page"));
  m_pView->setContextMenuPolicy(Qt::NoContextMenu);
  m_pPage = new CSilentPage(PreviewProfile(), m_pView);
  m_pView->setPage(m_pPage);
  layout->addWidget(m_pView);
  WatchInput(m_pView);
  if (parent) show();

  m_pView->setUrl(QUrl(QStringLiteral("about:blank")));
  WaitForLoad();
  return true;
}

void SimpleBrowser::WaitForLoad() {
  QEventLoop loop;
  QTimer limit;
  limit.setSingleShot(true);
  connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
  connect(m_pPage, &QWebEnginePage::loadFinished, &loop, &QEventLoop::quit);
  limit.start(kBlankPageWaitMs);
  loop.exec(QEventLoop::ExcludeUserInputEvents);
}

void SimpleBrowser::Navigate(const QUrl& url) {
  if (m_pView) m_pView->setUrl(url);
}

void SimpleBrowser::Clear() {
  if (!m_pView) return;
  m_pView->stop();
  m_pView->setHtml(QString());
}

void SimpleBrowser::WatchInput(QObject* object) {
  object->installEventFilter(this);
  for (QObject* child : object->children()) {
    if (child->isWidgetType()) WatchInput(child);
  }
}

bool SimpleBrowser::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::ChildAdded: {
      QObject* child = static_cast<QChildEvent*>(event)->child();
      if (child->isWidgetType()) WatchInput(child);
      break;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
      if (static_cast<QMouseEvent*>(event)->button() == Qt::RightButton) return true;
      break;
    case QEvent::ContextMenu:
      return true;
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
      if (static_cast<QKeyEvent*>(event)->modifiers() & Qt::AltModifier) return true;
      if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Alt) return true;
      break;
    default:
      break;
  }
  return QWidget::eventFilter(watched, event);
}
