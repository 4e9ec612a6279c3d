#include "preview_demo.h"

#include <string>

namespace fixture {

namespace {

const char kLetter[] =
    "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\froman Times New Roman;}{\\f1\\fswiss Arial;}}"
    "{\\colortbl;\\red31\\green73\\blue125;\\red192\\green0\\blue0;}"
    "{\\*\\generator Quillon fixture;}{\\info{\\title Letter}}"
    "\\pard\\qc\\f1\\fs32\\cf1\\b Quarterly letter\\b0\\cf0\\par"
    "\\pard\\f0\\fs24 Dear customer,\\par "
    "your backup was {\\b verified} on {\\i Thursday}; the {\\ul total} is \\u8364? 1\\'b7250.\\line"
    "{\\cf2 Please keep this letter.}\\par"
    "\\trowd\\cellx3000\\cellx6000\\pard\\intbl\\b Item\\b0\\cell\\b Amount\\b0\\cell\\row"
    "\\trowd\\cellx3000\\cellx6000\\pard\\intbl Disks\\cell 2\\cell\\row"
    "\\pard\\qr Yours, {\\strike the} the service team\\par}";

const char kPage[] =
    "<html><head><title>Recovered page</title></head><body style='font-family: sans-serif'>"
    "<h1>Recovered page</h1><p>This page was kept in the backup.</p>"
    "<p><img src='http://example.com/logo.png' alt='(a picture from the network: not loaded)'></p>"
    "</body></html>";

const char kMail[] =
    "From: Service <service@example.com>\r\nTo: You <you@example.com>\r\n"
    "Subject: Your backup\r\nContent-Type: text/html\r\n\r\n"
    "<html><body><p>Hello,</p><p>your <b>backup</b> is ready.</p></body></html>\r\n";

// A 2 x 2 GIF: red, green / blue, white.
const unsigned char kGif[] = {
    'G', 'I', 'F', '8', '9', 'a', 2, 0, 2, 0, 0x81, 0, 0,
    0xFF, 0x00, 0x00, 0x00, 0xFF, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFF,
    0x2C, 0, 0, 0, 0, 2, 0, 2, 0, 0, 2, 3, 0x44, 0x34, 0x05, 0x00, 0x3B};

std::u16string Utf16Reg() {
  return u"\uFEFFWindows Registry Editor Version 5.00\r\n\r\n"
         u"[HKEY_CURRENT_USER\\Software\\Quillon]\r\n\"Look\"=dword:000000d2\r\n";
}

std::string Utf16Le(const std::u16string& text) {
  std::string bytes;
  for (char16_t u : text) {
    bytes += char(u & 0xFF);
    bytes += char(u >> 8);
  }
  return bytes;
}

}  // namespace

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

BkfWriter PreviewDemoBackup() {
  BkfWriter w;
  w.Tape(u"Preview media");
  w.Sset(1, u"Preview files");
  w.Volb(u"C:");
  w.Dirb(u"");
  w.Dirb(u"Preview");
  w.File(u"letter.rtf", kLetter);
  w.File(u"letter.txt", kLetter);
  w.File(u"settings.reg", Utf16Le(Utf16Reg()));
  w.File(u"page.html", kPage);
  w.File(u"Mail.eml", kMail);
  w.File(u"anim.gif", std::string(reinterpret_cast<const char*>(kGif), sizeof kGif));
  w.File(u"song.mp3", SilentMp3());
  w.File(u"song.wma", std::string(2048, '\x30'));
  w.File(u"clip.swf", std::string("FWS\x06\x15\0\0\0\0\0\x0c\x01\0\x40\0\0\0", 17));
  w.Marker("ESET");
  w.Marker("EOTM");
  return w;
}

}  // namespace fixture
