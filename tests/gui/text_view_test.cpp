// The preview's text view: what it shows of a file (1 MiB cut, zero byte,
// Latin-1 bytes, byte-order marks) and RTF documents shown formatted.

#include <QBuffer>
#include <QImage>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextTable>
#include <sys/stat.h>

#include <fstream>

#include "gui_test_support.h"
#include "preview_text.h"
#include "rtf_document.h"
#include "test_support.h"
#include "text_view.h"

namespace {

QByteArray Bytes(std::string_view text) { return QByteArray(text.data(), qsizetype(text.size())); }

void WriteFile(const std::filesystem::path& path, const QByteArray& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(bytes.constData(), bytes.size());
}

// The format of the character at the first place the text occurs.
QTextCharFormat FormatOf(QTextDocument& document, const QString& text) {
  QTextCursor found = document.find(text);
  EXPECT_FALSE(found.isNull()) << text.toStdString();
  QTextCursor at(&document);
  at.setPosition(found.selectionStart() + 1);
  return at.charFormat();
}

TEST(TextViewContent, DecodingRules) {
  struct Case {
    const char* what;
    QByteArray bytes;
    QString shown;
  } cases[] = {
      {"each byte one Latin-1 character", Bytes("caf\xe9 \x80\xff"),
       QString::fromUtf16(u"caf\u00e9 \u0080\u00ff")},
      {"the text ends at a zero at offset 10", Bytes(std::string_view("0123456789\0tail", 15)),
       QStringLiteral("0123456789")},
      {"a zero first shows nothing", Bytes(std::string_view("\0abc", 4)), QString()},
      {"UTF-16LE with its mark", Bytes(std::string_view("\xff\xfeR\0e\0g\0 \0\xac\x20", 12)),
       QString::fromUtf16(u"Reg \u20ac")},
      {"UTF-16BE with its mark", Bytes(std::string_view("\xfe\xff\0O\0K", 6)), QStringLiteral("OK")},
      {"UTF-16 ends at a zero character",
       Bytes(std::string_view("\xff\xfe" "a\0\0\0b\0", 8)), QStringLiteral("a")},
      {"UTF-8 with its mark", Bytes("\xef\xbb\xbf\xc3\xa9t\xc3\xa9"), QString::fromUtf16(u"\u00e9t\u00e9")},
      {"UTF-8 without a mark stays Latin-1", Bytes("\xc3\xa9"), QString::fromUtf16(u"\u00c3\u00a9")},
      {"a lone 0xFF is Latin-1", Bytes("\xff" "a"), QString::fromUtf16(u"\u00ff" "a")},
  };
  for (const Case& c : cases) {
    const TextViewContent content = DecodeTextViewBytes(c.bytes);
    EXPECT_FALSE(content.rich) << c.what;
    EXPECT_EQ(content.plain, c.shown) << c.what;
  }
  // RTF is recognised by its header, before the zero byte.
  const TextViewContent rtf = DecodeTextViewBytes(Bytes(std::string_view("{\\rtf1 a}\0junk", 14)));
  EXPECT_TRUE(rtf.rich);
  EXPECT_EQ(rtf.rtf, QByteArray("{\\rtf1 a}"));
}

TEST(TextViewContent, ReadsAtMostOneMebibyteOfRegularFiles) {
  testing_support::TempDir dir;
  QByteArray big(2 * 1048576, 'x');
  big[1048575] = 'y';
  big[1048576] = 'z';
  WriteFile(dir / "notes.txt", big);
  const auto read = ReadTextViewBytes(QString::fromStdString((dir / "notes.txt").string()));
  ASSERT_TRUE(read);
  EXPECT_EQ(read->size(), 1048576);
  EXPECT_TRUE(read->endsWith('y'));

  // No link is followed and a FIFO is refused without waiting for a writer.
  std::filesystem::create_symlink(dir / "notes.txt", dir / "link.txt");
  EXPECT_FALSE(ReadTextViewBytes(QString::fromStdString((dir / "link.txt").string())));
  const std::string fifo = (dir / "pipe.txt").string();
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_FALSE(ReadTextViewBytes(QString::fromStdString(fifo)));
  EXPECT_FALSE(ReadTextViewBytes(QString::fromStdString((dir / "missing.txt").string())));
}

QByteArray PngHex(QSize size) {
  QImage image(size, QImage::Format_RGB32);
  image.fill(Qt::red);
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  return png.toHex();
}

TEST(RtfDocument, ShowsFormatting) {
  QTextDocument document;
  ReadRtfDocument(QByteArray(R"({\rtf1\ansi\ansicpg1250\deff0{\fonttbl{\f0\fswiss Arial;}})"
                             R"({\colortbl;\red255\green0\blue0;})"
                             R"({\*\generator Hidden Writer;}{\info{\title Hidden Title}})"
                             R"(\pard\qc Plain {\b Bold} {\i Italic} {\ul Under} {\strike Gone} )"
                             R"({\fs48 Big} {\cf1 Red} \u8364? euro \'9c\par)"
                             R"(\pard Next\line line\par})"),
                  &document);
  const QString text = document.toPlainText();
  EXPECT_FALSE(text.contains(QStringLiteral("Hidden"))) << text.toStdString();
  EXPECT_TRUE(text.contains(QString::fromUtf16(u"\u20ac euro \u015b"))) << text.toStdString();
  EXPECT_EQ(FormatOf(document, QStringLiteral("Bold")).fontWeight(), QFont::Bold);
  EXPECT_EQ(FormatOf(document, QStringLiteral("Plain")).fontWeight(), QFont::Normal);
  EXPECT_TRUE(FormatOf(document, QStringLiteral("Italic")).fontItalic());
  EXPECT_TRUE(FormatOf(document, QStringLiteral("Under")).fontUnderline());
  EXPECT_TRUE(FormatOf(document, QStringLiteral("Gone")).fontStrikeOut());
  EXPECT_EQ(FormatOf(document, QStringLiteral("Big")).fontPointSize(), 24.0);
  EXPECT_EQ(FormatOf(document, QStringLiteral("Red")).foreground().color(), QColor(255, 0, 0));
  EXPECT_EQ(FormatOf(document, QStringLiteral("Plain")).fontFamilies().toStringList(),
            QStringList{QStringLiteral("Arial")});
  EXPECT_EQ(document.firstBlock().blockFormat().alignment() & Qt::AlignHorizontal_Mask,
            Qt::AlignHCenter);
  EXPECT_EQ(document.firstBlock().next().text(), QString::fromUtf16(u"Next\u2028line"));
}

TEST(RtfDocument, ShowsTablesAndPictures) {
  QTextDocument document;
  ReadRtfDocument(QByteArray(R"({\rtf1 Before\par\trowd\cellx1000\cellx2000)"
                             R"(\pard\intbl A1\cell A2\cell\row)"
                             R"(\trowd\cellx1000\cellx2000\pard\intbl B1\cell B2\cell\row)"
                             R"(\pard After {\pict\pngblip\picwgoal600\pichgoal300 )") +
                      PngHex(QSize(8, 4)) + QByteArray(R"(}\par})"),
                  &document);
  QTextTable* table = nullptr;
  for (QTextFrame* frame : document.rootFrame()->childFrames()) {
    if (auto* t = qobject_cast<QTextTable*>(frame)) table = t;
  }
  ASSERT_NE(table, nullptr);
  EXPECT_EQ(table->rows(), 2);
  EXPECT_EQ(table->columns(), 2);
  const auto cellText = [table](int r, int c) {
    QTextCursor cursor = table->cellAt(r, c).firstCursorPosition();
    cursor.setPosition(table->cellAt(r, c).lastPosition(), QTextCursor::KeepAnchor);
    return cursor.selectedText();
  };
  EXPECT_EQ(cellText(0, 0), QStringLiteral("A1"));
  EXPECT_EQ(cellText(1, 1), QStringLiteral("B2"));
  EXPECT_TRUE(document.toPlainText().contains(QStringLiteral("After")));
  EXPECT_LT(document.toPlainText().indexOf(QStringLiteral("B2")),
            document.toPlainText().indexOf(QStringLiteral("After")));

  // The picture: an image at the size the document asks for (twips / 15).
  QTextImageFormat picture;
  for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
    for (auto it = block.begin(); !it.atEnd(); ++it) {
      if (it.fragment().charFormat().isImageFormat()) picture = it.fragment().charFormat().toImageFormat();
    }
  }
  ASSERT_TRUE(picture.isValid());
  EXPECT_EQ(picture.width(), 40.0);
  EXPECT_EQ(picture.height(), 20.0);
  const QImage image = document.resource(QTextDocument::ImageResource, QUrl(picture.name())).value<QImage>();
  EXPECT_EQ(image.size(), QSize(8, 4));
}

TEST(TextView, ShowsLetterTxtWithRtfBytesFormatted) {
  testing_support::TempDir dir;
  WriteFile(dir / "letter.txt", QByteArray(R"({\rtf1\ansi Dear {\b Sir}\par})"));
  WriteFile(dir / "plain.txt", QByteArray("Dear {\\b Sir}"));
  CTextPreviewView view(QFont(QStringLiteral("Times New Roman")));
  ASSERT_TRUE(view.ShowFile(QString::fromStdString((dir / "letter.txt").string())));
  EXPECT_TRUE(view.IsRich());
  EXPECT_EQ(view.toPlainText().trimmed(), QStringLiteral("Dear Sir"));
  EXPECT_TRUE(view.isReadOnly());

  ASSERT_TRUE(view.ShowFile(QString::fromStdString((dir / "plain.txt").string())));
  EXPECT_FALSE(view.IsRich());
  EXPECT_EQ(view.toPlainText(), QStringLiteral("Dear {\\b Sir}"));
  EXPECT_FALSE(view.ShowFile(QString::fromStdString((dir / "missing.txt").string())));
}

}  // namespace
