#include "gui_test_support.h"

#include <stdlib.h>
#include <sys/stat.h>

#include <QSettings>

#include "shell/app_settings.h"
#include "app_state.h"
#include "tree/check_tree_ctrl.h"
#include "tree/folder_tree_pane.h"
#include "shell/main_frame.h"
#include "system/process_exit.h"
#include "scanner.h"
#include "shell/url_opener.h"

namespace fs = std::filesystem;

namespace gui_testing {

namespace {
fs::path g_root;
}

const fs::path& PrivateRoot() { return g_root; }

void PrepareEnvironment() {
  const char* base = getenv("TMPDIR");
  std::string pattern = std::string(base && *base ? base : "/tmp") + "/quillon-gui-XXXXXX";
  if (!mkdtemp(pattern.data())) abort();
  g_root = pattern;
  for (const char* sub : {"tmp", "config", "cache", "data", "runtime"}) fs::create_directories(g_root / sub);
  chmod((g_root / "runtime").c_str(), 0700);
  setenv("TMPDIR", (g_root / "tmp").c_str(), 1);
  setenv("XDG_CONFIG_HOME", (g_root / "config").c_str(), 1);
  setenv("XDG_CACHE_HOME", (g_root / "cache").c_str(), 1);
  setenv("XDG_DATA_HOME", (g_root / "data").c_str(), 1);
  setenv("XDG_RUNTIME_DIR", (g_root / "runtime").c_str(), 1);
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  setenv("QT_LOGGING_RULES", "qt.webenginecontext.info=false;qt.qpa.*=false", 1);
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, QString::fromStdString((g_root / "config").string()));
}

void RemoveEnvironment() {
  std::error_code ec;
  fs::remove_all(g_root, ec);
}

ScriptedPrompt& TestPrompt() {
  static ScriptedPrompt prompt;
  return prompt;
}

QList<int>& ExitCalls() {
  static QList<int> calls;
  return calls;
}

QList<QUrl>& OpenedUrls() {
  static QList<QUrl> urls;
  return urls;
}

void InstallRecorders() {
  SetPrompt(&TestPrompt());
  SetExitFunction([](int status) { ExitCalls() << status; });
  SetUrlOpener([](const QUrl& url) {
    OpenedUrls() << url;
    return true;
  });
}

void ResetRecorders() {
  TestPrompt().Clear();
  ExitCalls().clear();
  OpenedUrls().clear();
  AppState().Reset();
}

QWidget* FindById(QWidget* root, int id) {
  if (!root) return nullptr;
  for (QWidget* child : root->findChildren<QWidget*>()) {
    bool ok = false;
    if (child->property("controlId").toInt(&ok) == id && ok) return child;
  }
  return nullptr;
}

void StoreRawLook(const std::optional<QString>& value) {
  QSettings store(QSettings::NativeFormat, QSettings::UserScope, QString::fromLatin1(kSettingsKey));
  if (value)
    store.setValue(QString::fromLatin1(kApplicationLookValue), *value);
  else
    store.remove(QString::fromLatin1(kApplicationLookValue));
  store.sync();
}

void FrameTest::SetUp() {
  ResetRecorders();
  settings = std::make_unique<AppSettings>();
  frame = std::make_unique<CMainFrame>(AppState(), *settings);
  ASSERT_TRUE(frame->Create());
  frame->resize(1200, 800);
  frame->show();
  prompt().Clear();
}

void FrameTest::TearDown() {
  AppState().m_bProcessRunning.store(0);
  frame.reset();
  settings.reset();
}

void FrameTest::AddTreeItem(const QString& label, bool checked) {
  CCheckTreeCtrl* tree = frame->FileView()->Tree();
  tree->SetCheck(tree->InsertItem(label, 0, 0, nullptr), checked ? 1 : 0);
}

void FrameTest::GiveScanner() { frame->SetScanner(std::make_unique<bkf>()); }

}  // namespace gui_testing
