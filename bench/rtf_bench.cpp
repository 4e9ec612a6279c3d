// Reading RTF documents of 256 KiB and 1 MiB (the most the text view reads)
// of several shapes, into the text view's document: the time of each and the
// ratio of the two, about 4 where the time grows with the input only.
// Runs offscreen unless a display is asked for.

#include <QApplication>
#include <QElapsedTimer>
#include <QTextDocument>
#include <cstdio>
#include <functional>
#include <string>

#include "rtf_document.h"

namespace {

// Repeats piece between head and tail up to about size bytes.
QByteArray Document(const std::string& head, const std::string& piece, const std::string& tail,
                    size_t size) {
  std::string text = head;
  while (text.size() + piece.size() + tail.size() < size) text += piece;
  return QByteArray::fromStdString(text + tail);
}

double Seconds(const QByteArray& rtf) {
  QTextDocument document;
  QElapsedTimer timer;
  timer.start();
  ReadRtfDocument(rtf, &document);
  return timer.nsecsElapsed() / 1e9;
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  struct Shape {
    const char* name;
    std::function<QByteArray(size_t)> make;
  } shapes[] = {
      {"plain paragraphs", [](size_t n) { return Document("{\\rtf1 ", "Some words of text\\par ", "}", n); }},
      {"a format run per word", [](size_t n) { return Document("{\\rtf1 ", "{\\b a}{\\i b}\\ul c\\ulnone ", "}", n); }},
      {"unicode escapes", [](size_t n) { return Document("{\\rtf1\\uc1 ", "\\u8364?\\'e9", "}", n); }},
      {"nested groups", [](size_t n) { return Document("{\\rtf1 ", "{", "x}", n); }},
      {"table rows", [](size_t n) { return Document("{\\rtf1 ", "\\trowd\\intbl a\\cell b\\cell c\\cell\\row ", "}", n); }},
      {"wide table row", [](size_t n) { return Document("{\\rtf1\\intbl ", "x\\cell ", "\\row}", n); }},
      {"empty rows", [](size_t n) { return Document("{\\rtf1\\intbl a\\cell b\\cell ", "x\\row ", "}", n); }},
  };
  std::printf("%-24s %12s %12s %8s\n", "shape", "256 KiB (s)", "1 MiB (s)", "ratio");
  std::fflush(stdout);
  for (const Shape& shape : shapes) {
    const double small = Seconds(shape.make(256 * 1024));
    const double large = Seconds(shape.make(1024 * 1024));
    std::printf("%-24s %12.3f %12.3f %8.2f\n", shape.name, small, large, small > 0 ? large / small : 0.0);
    std::fflush(stdout);
  }
  return 0;
}
