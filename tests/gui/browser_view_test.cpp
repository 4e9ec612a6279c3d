// The preview's browser view, headless: pages, mail, the image, media and
// Flash wrapper pages, and what a hostile page can and cannot do (reach the
// network, read other files, open dialogs or menus).

#include <QApplication>
#include <QDialog>
#include <QMenu>
#include <QTcpServer>
#include <QTest>
#include <QWebEngineView>
#include <filesystem>
#include <fstream>
#include <memory>

#include "browser_view.h"
#include "gui_test_support.h"
#include "offline_interceptor.h"
#include "preview_profile.h"
#include "preview_scheme.h"
#include "simple_browser.h"
#include "test_support.h"

namespace fs = std::filesystem;

namespace {

constexpr int kPageWaitMs = 30000;

void WriteFile(const fs::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(bytes.data(), std::streamsize(bytes.size()));
}

QString Q(const fs::path& path) { return QString::fromStdString(path.string()); }

// Runs a script in the page and waits for its result.
QVariant Js(QWebEnginePage* page, const QString& code) {
  auto result = std::make_shared<std::pair<bool, QVariant>>(false, QVariant());
  page->runJavaScript(code, [result](const QVariant& value) { *result = {true, value}; });
  if (!QTest::qWaitFor([&] { return result->first; }, 10000)) return QVariant();
  return result->second;
}

// Waits until the script's result, as text, is the expected one.
bool WaitForJs(QWebEnginePage* page, const QString& code, const QString& expected,
               int timeout = kPageWaitMs) {
  QString last;
  const bool ok = QTest::qWaitFor(
      [&] {
        last = Js(page, code).toString();
        return last == expected;
      },
      timeout);
  if (!ok) ADD_FAILURE() << code.toStdString() << " gave " << last.toStdString();
  return ok;
}

// The Part's media wrapper page for a file of the preview folder.
std::string MediaPage(const std::string& name) {
  return "<OBJECT ID=\"MediaPlayer1\" WIDTH=320 HEIGHT=240 "
         "CLASSID=\"CLSID:22D6f312-B0F6-11D0-94AB-0080C74C7E95\" "
         "CODEBASE=\"http://activex.microsoft.com/activex/controls/mplayer/en/"
         "nsmp2inf.cab#Version=5,1,52,701\" "
         "standby=\"Loading Microsoft Windows Media Player components...\" "
         "type=\"application/x-oleobject\"><Param Name=\"FileName\" Value=\"" +
         name + "\"></OBJECT>";
}

std::string FlashPage(const std::string& movie) {
  return "<OBJECT classid=\"clsid:D27CDB6E-AE6D-11cf-96B8-444553540000\" "
         "codebase=\"http://download.macromedia.com/pub/shockwave/cabs/flash/"
         "swflash.cab#version=6,0,0,0\" WIDTH=\"500\" HEIGHT=\"250\" id=\"" + movie +
         "\" ALIGN=\"\"><PARAM NAME=movie VALUE=\"" + movie + ".swf\"> <PARAM NAME=quality "
         "VALUE=high> <PARAM NAME=bgcolor VALUE=#333399> <EMBED src=\"" + movie +
         ".swf\" quality=high bgcolor=#333399 WIDTH=\"320\" HEIGHT=\"240\" NAME=\"" + movie +
         "\" ALIGN=\"\" TYPE=\"application/x-shockwave-flash\" "
         "PLUGINSPAGE=\"http://www.macromedia.com/go/getflashplayer\"></EMBED></OBJECT>";
}

// One second of silent MPEG-1 Layer III frames (128 kbit/s, 44.1 kHz).
std::string SilentMp3() {
  std::string frame(417, '\0');
  frame[0] = char(0xFF);
  frame[1] = char(0xFB);
  frame[2] = char(0x90);
  frame[3] = char(0x64);
  std::string bytes;
  for (int i = 0; i < 40; ++i) bytes += frame;
  return bytes;
}

// The smallest GIF: one transparent pixel.
const std::string kGif1x1 = QByteArray::fromBase64(
    "R0lGODlhAQABAIAAAAAAAP///yH5BAEAAAAALAAAAAABAAEAAAIBRAA7").toStdString();

class BrowserViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = std::make_unique<testing_support::TempDir>();
    host.resize(640, 400);
    host.show();
  }
  void TearDown() override {
    delete browser;
    browser = nullptr;
  }

  QWebEnginePage* Open(const std::string& name) {
    delete browser;
    browser = OpenInBrowser(Q(*folder / name), Q(folder->Path()) + "/", &host);
    EXPECT_NE(browser, nullptr);
    return browser ? browser->Page() : nullptr;
  }

  std::unique_ptr<testing_support::TempDir> folder;
  QWidget host;
  SimpleBrowser* browser = nullptr;
};

TEST(OfflineRule, AllowsOnlyLocalAddressesInsideThePreviewFolder) {
  testing_support::TempDir dir;
  const QString folder = Q(dir.Path());
  WriteFile(dir / "page.htm", "x");
  fs::create_symlink("/etc/passwd", dir / "link.htm");
  fs::create_directories(dir / "sub");
  struct Case {
    const char* url;
    bool allowed;
  } cases[] = {
      {"http://127.0.0.1/", false},
      {"https://example.com/", false},
      {"ws://127.0.0.1:80/", false},
      {"ftp://example.com/x", false},
      {"chrome://settings", false},
      {"file:///etc/passwd", false},
      {"file://server/share/x", false},
      {"data:text/html,x", true},
      {"blob:file:///0000", true},
      {"about:blank", true},
      {"about:config", false},
      {"quillon-preview://preview/page.htm", true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IsPreviewRequestAllowed(QUrl(QString::fromLatin1(c.url)), folder), c.allowed) << c.url;
  }
  const auto file = [&](const QString& rest) { return QUrl(QStringLiteral("file://") + folder + rest); };
  EXPECT_TRUE(IsPreviewRequestAllowed(file("/page.htm"), folder));
  EXPECT_TRUE(IsPreviewRequestAllowed(file("/page.htm"), folder + "/"));
  EXPECT_TRUE(IsPreviewRequestAllowed(file("/sub/other.png"), folder));
  EXPECT_FALSE(IsPreviewRequestAllowed(file("/../x"), folder));
  EXPECT_FALSE(IsPreviewRequestAllowed(file("/%2e%2e/%2e%2e/etc/passwd"), folder));
  EXPECT_FALSE(IsPreviewRequestAllowed(file("/link.htm"), folder));  // leads out
  EXPECT_FALSE(IsPreviewRequestAllowed(file(""), folder));           // the folder itself
  EXPECT_FALSE(IsPreviewRequestAllowed(QUrl(folder + "x/page.htm"), folder));
  EXPECT_FALSE(IsPreviewRequestAllowed(file("/page.htm"), QString()));
}

TEST_F(BrowserViewTest, ShowsHtmlAndMail) {
  WriteFile(*folder / "page.html", "<html><head><title>Hello page</title></head><body><p>Body</p></body></html>");
  QWebEnginePage* page = Open("page.html");
  ASSERT_TRUE(page);
  EXPECT_EQ(browser->property("controlId").toInt(), IDC_BROWSER_VIEW);
  EXPECT_EQ(browser->geometry(), host.rect());
  WaitForJs(page, "document.title", "Hello page");

  // A mail moved to its HTM name by the preview.
  WriteFile(*folder / "MAIL.HTM",
            "From: a@example.com\r\nSubject: Greetings\r\nContent-Type: text/html\r\n\r\n"
            "<html><body><b id='m'>Mail body</b></body></html>");
  page = Open("MAIL.HTM");
  ASSERT_TRUE(page);
  WaitForJs(page, "document.getElementById('m') ? document.getElementById('m').textContent : ''",
            "Mail body");
}

TEST_F(BrowserViewTest, APageReachesNeitherTheNetworkNorOtherFiles) {
  QTcpServer server;
  ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
  int connections = 0;
  QObject::connect(&server, &QTcpServer::newConnection, [&] {
    ++connections;
    delete server.nextPendingConnection();
  });
  const std::string net = "http://127.0.0.1:" + std::to_string(server.serverPort());
  WriteFile(*folder / "data.txt", "inside");
  WriteFile(*folder / "probe.html",
            "<html><body><img src='" + net + "/img.png'><script>\n"
            "function get(url) { return new Promise(function (done) {\n"
            "  var x = new XMLHttpRequest();\n"
            "  try { x.open('GET', url); } catch (e) { done('blocked'); return; }\n"
            "  x.onload = function () { done('read:' + x.responseText.substring(0, 6)); };\n"
            "  x.onerror = function () { done('blocked'); };\n"
            "  x.send(); }); }\n"
            "function fetched(url) { return fetch(url).then(function (r) { return r.text(); })\n"
            "  .then(function (t) { return 'read:' + t.substring(0, 6); }, function () { return 'blocked'; }); }\n"
            "Promise.all([fetched('" + net + "/f'), get('" + net + "/x'), get('file:///etc/passwd'),\n"
            "             get('data.txt')]).then(function (r) { document.title = 'done ' + r.join(' '); });\n"
            "</script></body></html>");
  QWebEnginePage* page = Open("probe.html");
  ASSERT_TRUE(page);
  WaitForJs(page, "document.title", "done blocked blocked blocked read:inside");
  QTest::qWait(200);  // connections arriving late would show here
  EXPECT_EQ(connections, 0);
}

TEST_F(BrowserViewTest, ShowsAGifThroughTheImageWrapper) {
  WriteFile(*folder / "anim.gif", kGif1x1);
  WriteFile(*folder / "bkTmp.htm",
            "<html><head></head><body><img src='" + (*folder / "anim.gif").string() + "'/></body></html>");
  QWebEnginePage* page = Open("bkTmp.htm");
  ASSERT_TRUE(page);
  WaitForJs(page, "document.images.length ? document.images[0].complete + ' ' + document.images[0].naturalWidth : ''",
            "true 1");
}

TEST_F(BrowserViewTest, MediaPagesGetAPlayerOrANotice) {
  EXPECT_EQ(ClassifyWrapperPage(QByteArray::fromStdString(MediaPage("a.mp3"))), WrapperPage::Media);
  EXPECT_EQ(ClassifyWrapperPage(QByteArray::fromStdString(FlashPage("a"))), WrapperPage::Flash);
  EXPECT_EQ(ClassifyWrapperPage("<html><object></object></html>"), WrapperPage::None);

  WriteFile(*folder / "song.mp3", SilentMp3());
  const std::string mp3Page = MediaPage("song.mp3");
  WriteFile(*folder / "bkTmp.htm", mp3Page);
  QWebEnginePage* page = Open("bkTmp.htm");
  ASSERT_TRUE(page);
  const QString player = "(function () { var p = document.getElementById('quillon-player');"
                         " if (!p) return document.getElementById('quillon-notice') ? 'notice' : '';"
                         " return p.tagName + ' ' + p.controls + ' ' + (p.readyState >= 1) + ' ' +"
                         " !p.error + ' ' + p.src.split('/').pop(); })()";
  WaitForJs(page, player, "AUDIO true true true song.mp3");
  // The page on disk is still the one written.
  std::ifstream in(*folder / "bkTmp.htm", std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), mp3Page);

  WriteFile(*folder / "song.wma", std::string(64, '\x30'));
  WriteFile(*folder / "bkTmp.htm", MediaPage("song.wma"));
  page = Open("bkTmp.htm");
  ASSERT_TRUE(page);
  WaitForJs(page,
            "(function () { var n = document.getElementById('quillon-notice');"
            " return n ? n.textContent : ''; })()",
            "song.wma (WMA file)The preview cannot play this file. Save it and open it with a "
            "player that knows this type.");
}

TEST_F(BrowserViewTest, FlashPagesRunTheEmulator) {
  WriteFile(*folder / "clip.swf", "FWS\x06" + std::string(60, '\0'));
  WriteFile(*folder / "bkTmp.htm", FlashPage("clip"));
  QWebEnginePage* page = Open("bkTmp.htm");
  ASSERT_TRUE(page);
  if (RuffleFolder().isEmpty()) {
    WaitForJs(page, "document.getElementById('quillon-notice') ? 'notice' : ''", "notice");
    GTEST_SKIP() << "built without the Flash emulator";
  }
  EXPECT_EQ(page->url().scheme(), QString::fromLatin1(kPreviewScheme));
  WaitForJs(page, "document.querySelector('ruffle-object, ruffle-embed, ruffle-player') ? 'ruffle' : ''",
            "ruffle");
}

TEST_F(BrowserViewTest, ScriptsOpenNoDialogsAndRightClicksNoMenu) {
  WriteFile(*folder / "noisy.html",
            "<html><body style='height:100%'><script>alert('hello'); var c = confirm('sure?');"
            " var p = prompt('name?', 'x'); window.print(); window.open('page.html');"
            " document.title = 'after ' + c + ' ' + p;</script></body></html>");
  QWebEnginePage* page = Open("noisy.html");
  ASSERT_TRUE(page);
  WaitForJs(page, "document.title", "after false null");
  EXPECT_EQ(browser->Page()->DialogsRefused(), 3);

  QWidget* surface = browser->View()->focusProxy();
  ASSERT_NE(surface, nullptr);
  QTest::mouseClick(surface, Qt::RightButton, {}, QPoint(20, 20));
  QTest::qWait(300);
  for (QWidget* top : QApplication::topLevelWidgets()) {
    EXPECT_FALSE(top->isVisible() && (qobject_cast<QMenu*>(top) || qobject_cast<QDialog*>(top)))
        << top->metaObject()->className();
  }
}

}  // namespace
