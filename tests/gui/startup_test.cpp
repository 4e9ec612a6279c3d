// Start-up: the single-instance lock, the look written at every start, the
// splash window and the process settings for the web component.

#include <signal.h>

#include <QBitmap>
#include <QPointer>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegion>
#include <QTest>

#include "shell/app_settings.h"
#include "gui_test_support.h"
#include "shell/application.h"
#include "shell/main_frame.h"
#include "system/process_environment.h"
#include "system/single_instance_lock.h"
#include "shell/splash_wnd.h"
#include "shell/visual_look.h"

using namespace gui_testing;

namespace {

// Starts the real program in this test's private environment.
class ProgramRun {
 public:
  ProgramRun() {
    m_process.setProcessEnvironment(QProcessEnvironment::systemEnvironment());
    m_process.setProgram(QStringLiteral(QUILLON_APP_EXE));
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.start();
  }
  ~ProgramRun() { Kill(); }
  bool Running() const { return m_process.state() == QProcess::Running; }
  // Ends it the hard way, as a crash would.
  void Kill() {
    if (m_process.state() == QProcess::NotRunning) return;
    m_process.kill();
    m_process.waitForFinished(10000);
  }

 private:
  QProcess m_process;
};

bool LockHeldElsewhere() {
  SingleInstanceLock probe;
  return probe.Create();
}

TEST(SingleInstance, LockIsTheNamedFileInTheTemporaryFolder) {
  EXPECT_EQ(SingleInstanceLock::DefaultPath(),
            PrivateRoot() / "tmp" / "Global-{CORVANEQUILLONREPHSH2912}.lock");
}

TEST(SingleInstance, SecondHolderSeesTheFirstUntilItEnds) {
  auto first = std::make_unique<SingleInstanceLock>();
  EXPECT_FALSE(first->Create());
  EXPECT_TRUE(first->Held());
  SingleInstanceLock second;
  EXPECT_TRUE(second.Create());
  EXPECT_TRUE(second.AlreadyExisted());
  EXPECT_FALSE(second.Held());
  first.reset();
  SingleInstanceLock third;
  EXPECT_FALSE(third.Create());
}

TEST(SingleInstance, SecondStartIsRefusedAndAKilledFirstLeavesNoStaleLock) {
  ResetRecorders();
  auto* app = CHalvernApp::Instance();
  ASSERT_NE(app, nullptr);
  ProgramRun first;
  ASSERT_TRUE(QTest::qWaitFor([] { return LockHeldElsewhere(); }, 20000)) << "the program did not take the lock";

  // This process starts as the second instance, without the look of a first start.
  qApp->setStyleSheet(QString());
  qApp->setPalette(QPalette());
  SingleInstanceLock lock;
  app->SetAnotherInstanceRunning(lock.Create());
  EXPECT_FALSE(app->InitInstance());
  app->SetAnotherInstanceRunning(false);
  EXPECT_EQ(app->MainFrame(), nullptr);
  ASSERT_EQ(TestPrompt().shown.size(), 1u);
  const ScriptedPrompt::Shown& box = TestPrompt().shown[0];
  EXPECT_EQ(box.text, QStringLiteral("Another instance of application is already running"));
  EXPECT_EQ(box.caption, QStringLiteral("Corvane Quillon Repair v22.0"));
  EXPECT_EQ(box.icon, MsgIcon::Information);
  EXPECT_EQ(box.buttons, MsgButtons::Ok);
  EXPECT_FALSE(box.hadOwner);
  // It looks like every other box: the dark scheme and the program's picture.
  EXPECT_FALSE(qApp->styleSheet().isEmpty());
  EXPECT_EQ(qApp->palette().color(QPalette::Window).lightness() < 128, true);
  EXPECT_FALSE(qApp->windowIcon().isNull());

  // The first instance is unaffected; once it is killed the lock is free.
  QTest::qWait(200);
  EXPECT_TRUE(first.Running());
  first.Kill();
  SingleInstanceLock after;
  EXPECT_FALSE(after.Create());
  EXPECT_TRUE(after.Held());
}

TEST(Startup, FirstStartShowsTheMainWindowMaximised) {
  ResetRecorders();
  StoreRawLook(QStringLiteral("212"));
  auto* app = CHalvernApp::Instance();
  ASSERT_TRUE(app->InitInstance());
  ASSERT_NE(app->MainFrame(), nullptr);
  EXPECT_TRUE(app->MainFrame()->isVisible());
  EXPECT_TRUE(app->MainFrame()->windowState() & Qt::WindowMaximized);
  EXPECT_EQ(app->MainFrame()->windowTitle(), QStringLiteral("Corvane Quillon Repair v22.0"));
  EXPECT_TRUE(TestPrompt().shown.empty());
  EXPECT_EQ(AppState().m_nLookId, 216u);
  EXPECT_EQ(AppSettings().ReadLook(0), 216u);
  EXPECT_EQ(AppState().m_bProcessRunning.load(), 0);
  app->ExitInstance();
}

TEST(Startup, ApplicationStateStartValues) {
  // The application object's state is the one the core reads.
  auto* app = CHalvernApp::Instance();
  EXPECT_EQ(&AppState(), static_cast<ApplicationState*>(app));
  ApplicationState fresh;
  EXPECT_EQ(fresh.m_bProcessRunning.load(), 0);
  EXPECT_EQ(fresh.m_bPartialScan, 0);
  EXPECT_EQ(fresh.m_nRecoveryMode, 0);
  EXPECT_EQ(fresh.m_bHeuristicScan, 0);
  EXPECT_TRUE(fresh.m_strBkfFilePath.empty());
  EXPECT_TRUE(fresh.m_strBkfFileSize.empty());
  EXPECT_TRUE(fresh.m_strRangeMin.empty());
  EXPECT_TRUE(fresh.m_strRangeMax.empty());
}

TEST(Startup, LookIs216AfterEveryStartWhateverWasStored) {
  for (const std::optional<QString>& stored :
       {std::optional<QString>(QStringLiteral("210")), std::optional<QString>(QStringLiteral("218")),
        std::optional<QString>(QStringLiteral("not a number")), std::optional<QString>()}) {
    ResetRecorders();
    StoreRawLook(stored);
    AppSettings settings;
    CMainFrame frame(AppState(), settings);
    // The window reads the stored look first ...
    EXPECT_EQ(AppState().m_nLookId, stored && stored->startsWith(QLatin1Char('2')) ? stored->toUInt() : 216u);
    // ... and creating it applies and stores 216.
    ASSERT_TRUE(frame.Create());
    EXPECT_EQ(AppState().m_nLookId, 216u);
    EXPECT_TRUE(frame.IsApplicationLookChecked(216));
    EXPECT_FALSE(frame.IsApplicationLookChecked(210));
    EXPECT_EQ(AppSettings().ReadLook(0), 216u) << (stored ? stored->toStdString() : "none");
  }
  EXPECT_TRUE(visual_look::DarkSchemeApplied());
  EXPECT_LT(qApp->palette().color(QPalette::Window).lightness(), 80);
}

TEST(Startup, RealProgramStores216InTheSettings) {
  StoreRawLook(QStringLiteral("211"));
  ASSERT_EQ(AppSettings().ReadLook(0), 211u);
  ProgramRun run;
  EXPECT_TRUE(QTest::qWaitFor([] { return AppSettings().ReadLook(0) == 216u; }, 20000));
  EXPECT_TRUE(run.Running());
}

TEST(Splash, ShapedByTheKeyColourClosesItselfAndIgnoresClicks) {
  ResetRecorders();
  QWidget owner;
  QPointer<CSplashWnd> splash = CSplashWnd::ShowSplashScreen(&owner);
  ASSERT_TRUE(splash);
  const QImage& bitmap = splash->Bitmap();
  EXPECT_EQ(splash->size(), bitmap.size());
  // Every pixel is either the key colour (cut out) or part of the picture.
  const QRegion shape = splash->mask();
  EXPECT_EQ(bitmap.pixel(0, 0), kSplashKeyColour);
  EXPECT_FALSE(shape.contains(QPoint(0, 0)));
  EXPECT_TRUE(shape.contains(QPoint(bitmap.width() / 2, bitmap.height() / 2)));
  EXPECT_NE(bitmap.pixel(bitmap.width() / 2, bitmap.height() / 2), kSplashKeyColour);
  EXPECT_TRUE(splash->windowFlags() & Qt::WindowStaysOnTopHint);
  EXPECT_TRUE(splash->windowFlags() & Qt::WindowDoesNotAcceptFocus);
  EXPECT_TRUE(splash->testAttribute(Qt::WA_ShowWithoutActivating));
  EXPECT_EQ(splash->Timer().interval(), 2000);
  EXPECT_TRUE(splash->Timer().isSingleShot());
  EXPECT_TRUE(splash->Timer().isActive());

  QTest::mouseClick(splash, Qt::LeftButton);
  QTest::keyClick(splash, Qt::Key_Escape);
  EXPECT_TRUE(splash && splash->isVisible());
  EXPECT_TRUE(QTest::qWaitFor([&] { return splash.isNull(); }, 5000));
}

TEST(ProcessEnvironment, RootDisablesTheWebSandbox) {
  struct Case {
    const char* existing;
    bool root;
    const char* expected;
  } cases[] = {
      {"", false, ""},
      {"", true, "--no-sandbox"},
      {"--log-level=3", true, "--log-level=3 --no-sandbox"},
      {"--no-sandbox", true, "--no-sandbox"},
      {"--log-level=3", false, "--log-level=3"},
  };
  for (const Case& c : cases) EXPECT_EQ(WebEngineFlags(c.existing, c.root), QByteArray(c.expected)) << c.existing;
}

}  // namespace
