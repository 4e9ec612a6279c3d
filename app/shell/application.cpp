#include "shell/application.h"

#include <QScreen>

#include "shell/app_settings.h"
#include "shell/icon_set.h"
#include "shell/visual_look.h"
#include "shell/main_frame.h"
#include "dialogs/prompt.h"

CHalvernApp::CHalvernApp(int& argc, char** argv) : QApplication(argc, argv) {
  setApplicationName(QStringLiteral("quillon-repair"));
  setOrganizationName(QString::fromLatin1(kSettingsKey));
  setApplicationVersion(QStringLiteral("22.0"));
  setApplicationDisplayName(ProductCaptionText());
  // The installed menu entry (dist/com.corvane.QuillonRepair.desktop).
  setDesktopFileName(QStringLiteral("com.corvane.QuillonRepair"));
  SetAppState(static_cast<ApplicationState*>(this));
  // Every window, message boxes without an owner too, shows the program's picture.
  setWindowIcon(icons::AppIcon());
}

CHalvernApp::~CHalvernApp() {
  ExitInstance();
  SetAppState(nullptr);
}

CHalvernApp* CHalvernApp::Instance() { return qobject_cast<CHalvernApp*>(QCoreApplication::instance()); }

bool CHalvernApp::InitInstance() {
  // The controls, the framework and the embedded browser need no start-up
  // steps of their own here; the browser's process settings are made before
  // the application object exists.
  if (m_bAnotherInstance) {
    // The refusal looks like every other message box of the program.
    visual_look::ApplyDarkScheme(*this);
    Prompt().MessageBox(nullptr, QString::fromLatin1(kAnotherInstanceText), ProductCaptionText(), MsgButtons::Ok,
                        MsgIcon::Information);
    return false;
  }
  m_settings = std::make_unique<AppSettings>();

  m_pMainWnd = std::make_unique<CMainFrame>(*this, *m_settings);
  if (!m_pMainWnd->Create()) {
    m_pMainWnd.reset();
    return false;
  }
  // The restored size is the whole work area, so that the window also fills
  // the screen where no window manager maximises it.
  if (const QScreen* screen = m_pMainWnd->screen()) m_pMainWnd->setGeometry(screen->availableGeometry());
  m_pMainWnd->showMaximized();
  m_pMainWnd->repaint();
  return true;
}

void CHalvernApp::ExitInstance() {
  m_pMainWnd.reset();
  m_settings.reset();
}
