// The RTF reader on small documents and on hostile shapes: what it reports to
// its sink, in order, with the formats and code pages of each run.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "rtf_parser.h"

using namespace quillon::rtf;

namespace {

// Writes what the reader reports as one line of text: runs of bytes as
// "[cp:bytes]" with "*" for bold, units as "<U+XXXX...>", paragraphs "¶",
// line breaks "/", cells "|", rows "#", pictures "{png n WxH}".
class TranscriptSink : public Sink {
 public:
  void Bytes(std::string_view bytes, int codePage, const CharFormat& format,
             const ParaFormat& para) override {
    out += "[" + std::to_string(codePage) + ":" + Marks(format, para) + std::string(bytes) + "]";
    formats.push_back(format);
  }
  void Unicode(std::u16string_view text, const CharFormat& format, const ParaFormat& para) override {
    out += "<" + Marks(format, para);
    for (char16_t u : text) {
      char hex[8];
      std::snprintf(hex, sizeof hex, "%04X", unsigned(u));
      out += hex;
    }
    out += ">";
  }
  void ParagraphEnd(const ParaFormat& para) override {
    out += "P";
    paras.push_back(para);
  }
  void LineBreak(const CharFormat&, const ParaFormat&) override { out += "/"; }
  void CellEnd(const ParaFormat&) override { out += "|"; }
  void RowEnd() override { out += "#"; }
  void Picture(PictureKind kind, std::string_view data, int width, int height, const CharFormat&,
               const ParaFormat&) override {
    out += "{" + std::string(kind == PictureKind::Png ? "png " : "jpeg ") +
           std::to_string(data.size()) + " " + std::to_string(width) + "x" +
           std::to_string(height) + "}";
    pictures.emplace_back(data);
  }

  static std::string Marks(const CharFormat& f, const ParaFormat& p) {
    std::string m;
    if (f.bold) m += "*";
    if (f.italic) m += "_";
    if (p.inTable) m += "t";
    return m;
  }

  std::string out;
  std::vector<CharFormat> formats;
  std::vector<ParaFormat> paras;
  std::vector<std::string> pictures;
};

std::string Transcript(const std::string& rtf, Tables* tablesOut = nullptr) {
  TranscriptSink sink;
  Tables tables;
  Read(rtf, sink, tables);
  if (tablesOut) *tablesOut = tables;
  return sink.out;
}

TEST(RtfParser, ReportsDocuments) {
  struct Case {
    const char* what;
    std::string rtf;
    std::string expected;
  } cases[] = {
      {"plain text and a paragraph", R"({\rtf1\ansi Hello\par World})", "[1252:Hello]P[1252:World]"},
      {"bold on and off", R"({\rtf1 a\b b\b0 c})", "[1252:a][1252:*b][1252:c]"},
      {"bold ends with its group", R"({\rtf1 {\b x}y})", "[1252:*x][1252:y]"},
      {"line break and tab", R"({\rtf1 a\line b\tab c})", "[1252:a]/[1252:b]<0009>[1252:c]"},
      {"escaped braces and backslash", R"({\rtf1 \{x\}\\})", "[1252:{x}\\]"},
      {"code page of the document", "{\\rtf1\\ansi\\ansicpg1250 \\'9c}", "[1250:\x9c]"},
      {"code page of the font",
       "{\\rtf1\\ansicpg1252{\\fonttbl{\\f0 Arial;}{\\f1\\fcharset204 Arial Cyr;}}\\f1 \\'e0\\f0 \\'e0}",
       "[1251:\xe0][1252:\xe0]"},
      {"unicode with one fallback character", R"({\rtf1 \u8364?x})", "<20AC>[1252:x]"},
      {"unicode with two fallback characters", R"({\rtf1\uc2 \u937\'4f\'6dx})", "<03A9>[1252:x]"},
      {"no fallback characters", R"({\rtf1\uc0 \u-3913 x})", "<F0B7>[1252:x]"},
      {"fallback cut by a group end", R"({\rtf1 {\uc3 \u252 a}b})", "<00FC>[1252:b]"},
      {"a surrogate pair", R"({\rtf1 \u-10179?\u-8704?})", "<D83DDE00>"},
      {"named characters", R"({\rtf1 \emdash\ldblquote})", "<2014201C>"},
      {"ignorable destination", R"({\rtf1 a{\*\generator Hidden;}b})", "[1252:ab]"},
      {"unknown starred destination", R"({\rtf1 a{\*\zzzunknown Hidden{x}}b})", "[1252:ab]"},
      {"info and stylesheet", R"({\rtf1{\info{\title Hidden}}{\stylesheet{\s0 Normal;}}x})", "[1252:x]"},
      {"field result shows, instruction does not",
       R"({\rtf1{\field{\*\fldinst HYPERLINK "http://x"}{\fldrslt link}}})", "[1252:link]"},
      {"binary data is stepped over", "{\\rtf1 a\\bin3 }}}b}", "[1252:ab]"},
      {"table cells and rows",
       R"({\rtf1\trowd\cellx100\cellx200\pard\intbl A\cell B\cell\row\pard C\par})",
       "[1252:tA]|[1252:tB]|#[1252:C]P"},
      {"a png picture", R"({\rtf1 {\pict\pngblip\picwgoal300\pichgoal150 89504e47 0d0a}x})",
       "{png 6 300x150}[1252:x]"},
      {"scaled picture", R"({\rtf1 {\pict\jpegblip\picwgoal200\pichgoal100\picscalex50 ffd8}})",
       "{jpeg 2 100x100}"},
      {"a metafile is not reported", R"({\rtf1 {\pict\wmetafile8 0102}x})", "[1252:x]"},
      {"alternative picture is skipped",
       R"({\rtf1{\*\shppict{\pict\pngblip 89}}{\nonshppict{\pict\wmetafile8 01}}})", "{png 1 0x0}"},
      {"an unmatched close brace", R"(}}{\rtf1 a}})", "[1252:a]"},
      {"a document cut short", R"({\rtf1 {\b a)", "[1252:*a]"},
      {"a control word cut short", "{\\rtf1 a\\", "[1252:a]"},
      {"a hex escape cut short", "{\\rtf1 a\\'4", "[1252:a4]"},
      {"a zero character is dropped", R"({\rtf1 \u0?a})", "[1252:a]"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Transcript(c.rtf), c.expected) << c.what;
  }
}

TEST(RtfParser, ReadsTables) {
  Tables tables;
  Transcript(R"({\rtf1\deff1{\fonttbl{\f0\fswiss Arial;}{\f1\froman\fcharset238 Times New Roman;}})"
             R"({\colortbl;\red255\green0\blue0;\red0\green128\blue255;}x})",
             &tables);
  ASSERT_EQ(tables.colors.size(), 3u);
  EXPECT_EQ(tables.colors[1].red, 255);
  EXPECT_EQ(tables.colors[2].green, 128);
  EXPECT_EQ(tables.colors[2].blue, 255);
  ASSERT_EQ(tables.fonts.size(), 2u);
  EXPECT_EQ(tables.fonts.at(0).name, "Arial");
  EXPECT_EQ(tables.fonts.at(1).codePage, 1250);
  // Text without \f is in the default font and its code page.
  EXPECT_EQ(tables.CodePageOf(-1), 1250);
  EXPECT_EQ(tables.CodePageOf(0), 1252);
}

TEST(RtfParser, DeepNestingNeedsNoRecursion) {
  // 100 000 nested groups with text at the bottom: read on a heap stack.
  const size_t depth = 100000;
  std::string rtf = "{\\rtf1 ";
  rtf += std::string(depth, '{') + "\\b deep" + std::string(depth, '}') + "after}";
  EXPECT_EQ(Transcript(rtf), "[1252:*deep][1252:after]");

  // Beyond the depth kept, the content is dropped but the rest still shows.
  std::string deeper = "{\\rtf1 ";
  deeper += std::string(kMaxGroupDepth + 10, '{') + "gone" +
            std::string(kMaxGroupDepth + 10, '}') + "kept}";
  EXPECT_EQ(Transcript(deeper), "[1252:kept]");
}

TEST(RtfParser, HostileCountsAreClamped) {
  // A \bin longer than the document, huge parameters and sizes.
  EXPECT_EQ(Transcript("{\\rtf1 a\\bin99999999999 xyz"), "[1252:a]");
  TranscriptSink sink;
  Tables tables;
  Read(R"({\rtf1\fs99999999999 \cf-5 y\uc999999 \u99999999999 z})", sink, tables);
  ASSERT_FALSE(sink.formats.empty());
  EXPECT_LE(sink.formats.back().halfPoints, 3276);
  EXPECT_EQ(sink.formats.back().color, 0);
  EXPECT_TRUE(HasRtfHeader("{\\rtf1"));
  EXPECT_FALSE(HasRtfHeader(" {\\rtf1"));
  EXPECT_FALSE(HasRtfHeader("{\\rt"));
}

}  // namespace
