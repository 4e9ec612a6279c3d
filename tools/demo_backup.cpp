#include "demo_backup.h"

#include <string>

namespace fixture {

namespace {
std::string Lines(const std::string& prefix, int count) {
  std::string text;
  for (int i = 1; i <= count; ++i) text += prefix + " line " + std::to_string(i) + "\r\n";
  return text;
}

// A 2 x 2 pixel BMP, so the demo holds a picture.
Bytes TinyBitmap() {
  const uint8_t bmp[] = {
      'B', 'M', 70, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0,          // file header
      40, 0, 0, 0, 2, 0, 0, 0, 2, 0, 0, 0, 1, 0, 24, 0,        // info header
      0, 0, 0, 0, 16, 0, 0, 0, 0x13, 0x0B, 0, 0, 0x13, 0x0B, 0, 0,
      0, 0, 0, 0, 0, 0, 0, 0,
      0, 0, 255, 0, 255, 0, 0, 0,                               // row 0 + padding
      255, 0, 0, 255, 255, 255, 0, 0,                           // row 1 + padding
  };
  return Bytes(std::begin(bmp), std::end(bmp));
}
}  // namespace

BkfWriter DemoBackup() {
  BkfWriter w;
  w.Tape(u"Media created 12/10/2026 at 9:30 AM");
  w.Marker("SFMB");
  w.Sset(1, u"Daily backup");
  w.Volb(u"C:");
  w.Dirb(u"");
  w.File(u"boot.ini", "[boot loader]\r\ntimeout=30\r\ndefault=multi(0)disk(0)rdisk(0)partition(1)\\WINDOWS\r\n");
  w.Dirb(u"Documents");
  w.File(u"report.txt", Lines("Quarterly report", 200));
  w.File(u"notes.txt", "Remember to verify the backup.\r\n");
  w.Dirb(u"Documents\\Letters");
  w.File(u"letter-to-bank.txt", Lines("Dear Sir or Madam,", 12));
  w.File(u"letter-to-school.txt", Lines("Dear teacher,", 8));
  w.Dirb(u"Pictures");
  w.File(u"dot.bmp", TinyBitmap());
  w.File(u"empty.dat", "");
  w.Marker("ESET");
  w.Marker("SFMB");
  w.Sset(2, u"Weekly backup");
  w.Volb(u"D:");
  w.Dirb(u"Projects\\Quillon");
  w.File(u"main.cpp", "#include <cstdio>\nint main() { FILE *fp = nullptr; (void)fp; return 0; }\n");
  w.File(u"README", Lines("Quillon project", 40));
  w.Marker("ESET");
  w.Marker("EOTM");
  return w;
}

}  // namespace fixture
