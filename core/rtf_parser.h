#pragma once
// A small reader of Rich Text Format for the text view of the preview. It
// walks the bytes once, without recursion, and tells a sink what it found:
// runs of text with their character and paragraph formats, paragraph and line
// breaks, table cells and rows, and embedded PNG or JPEG pictures. The sink
// turns that into a document; the reader itself knows nothing of windows.
//
// It is fed bytes of recovered files, so every count it reads is clamped,
// nesting is kept on a heap stack of bounded depth (content deeper than
// kMaxGroupDepth is dropped), and the time it takes grows with the input only.

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace quillon::rtf {

inline constexpr size_t kMaxGroupDepth = 200000;

enum class Alignment { Left, Center, Right, Justify };

struct CharFormat {
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool strike = false;
  int halfPoints = 24;  // font size in half points (\fs)
  int color = 0;        // index into the colour table; 0 = automatic
  int background = 0;   // index into the colour table; 0 = none
  int font = -1;        // index into the font table; -1 = none chosen

  bool operator==(const CharFormat&) const = default;
};

struct ParaFormat {
  Alignment alignment = Alignment::Left;
  bool inTable = false;

  bool operator==(const ParaFormat&) const = default;
};

struct Color {
  uint8_t red = 0, green = 0, blue = 0;
};

struct Font {
  std::string name;   // as written, in the font's code page
  int codePage = 0;   // 0 = the document's code page
};

enum class PictureKind { Png, Jpeg };

// What the reader reports. Text comes either as bytes in a code page (runs
// of plain characters and \'hh escapes) or as UTF-16 units (\uN escapes and
// the named characters such as \emdash); a surrogate pair may arrive in two
// calls.
class Sink {
 public:
  virtual ~Sink() = default;
  virtual void Bytes(std::string_view bytes, int codePage, const CharFormat& format,
                     const ParaFormat& para) = 0;
  virtual void Unicode(std::u16string_view text, const CharFormat& format,
                       const ParaFormat& para) = 0;
  virtual void ParagraphEnd(const ParaFormat& para) = 0;
  virtual void LineBreak(const CharFormat& format, const ParaFormat& para) = 0;
  virtual void CellEnd(const ParaFormat& para) = 0;
  virtual void RowEnd() = 0;
  // widthTwips / heightTwips: the size the document asks for (0 = natural).
  virtual void Picture(PictureKind kind, std::string_view data, int widthTwips,
                       int heightTwips, const CharFormat& format, const ParaFormat& para) = 0;
};

// The tables a document declares, filled while reading.
struct Tables {
  std::vector<Color> colors;           // index 0 is the automatic colour
  std::map<int, Font> fonts;           // by font number
  int codePage = 1252;                 // \ansicpg, \mac, \pc, \pca
  int defaultFont = -1;                // \deff

  // The font a character format uses (its own, else the default), or none.
  const Font* FindFont(int number) const;
  // The code page of text written in that font.
  int CodePageOf(int fontNumber) const;
};

// True when the bytes begin with an RTF header ("{\rtf").
bool HasRtfHeader(std::string_view bytes);

// Reads the document and reports it to the sink, filling tables as their
// entries are read (a sink may look at them while it is told of the text).
void Read(std::string_view bytes, Sink& sink, Tables& tables);

// The Windows code page a font character set (\fcharset) stands for, or 0
// when it means the document's own code page.
int CodePageOfCharset(int charset);

}  // namespace quillon::rtf
