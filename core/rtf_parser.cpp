#include "rtf_parser.h"

#include <algorithm>
#include <cstring>

namespace quillon::rtf {

namespace {

enum class Destination { Normal, Skip, FontTable, ColorTable, Picture };

struct GroupState {
  CharFormat chr;
  ParaFormat para;
  Destination dest = Destination::Normal;
  int uc = 1;              // characters a \uN escape stands in for
  bool afterStar = false;  // "\*" seen: an unknown destination is skipped
};

constexpr size_t kMaxWordLength = 32;
constexpr int kMaxParameter = 1 << 30;
constexpr size_t kMaxFontName = 128;

// Destinations whose content is never shown.
constexpr const char* kSkippedDestinations[] = {
    "stylesheet", "info",       "header",       "headerl",     "headerr",    "headerf",
    "footer",     "footerl",    "footerr",      "footerf",     "footnote",   "fldinst",
    "annotation", "atnid",      "atnauthor",    "atndate",     "atnref",     "comment",
    "listtable",  "listoverridetable", "revtbl", "rsidtbl",    "xmlnstbl",   "themedata",
    "colorschememapping", "latentstyles", "datastore", "generator", "nonshppict", "objdata",
    "objclass",   "objname",    "pntxta",       "pntxtb",      "filetbl",    "private",
    "bkmkstart",  "bkmkend",    "template",     "title",       "subject",    "author",
    "operator",   "keywords",   "doccomm",      "company",     "creatim",    "revtim",
    "printim",    "buptim",     "userprops",    "docvar",      "ftnsep",     "ftnsepc",
    "aftnsep",    "aftnsepc",   "txe",          "xe",          "tc",         "rxe",
    "shpinst",    "sp",         "sn",           "sv",          "picprop",    "blipuid",
    "fontemb",    "fontfile",   "falt",         "panose",      "pgdsctbl",   "mmathPr",
    "passwordhash", "wgrffmtfilter", "category", "manager",   "hlinkbase",  "pxe",
};

struct NamedCharacter {
  const char* word;
  char16_t unit;
};
constexpr NamedCharacter kNamedCharacters[] = {
    {"emdash", 0x2014},   {"endash", 0x2013},    {"bullet", 0x2022}, {"lquote", 0x2018},
    {"rquote", 0x2019},   {"ldblquote", 0x201C}, {"rdblquote", 0x201D}, {"emspace", 0x2003},
    {"enspace", 0x2002},  {"qmspace", 0x2005},   {"zwj", 0x200D},    {"zwnj", 0x200C},
    {"ltrmark", 0x200E},  {"rtlmark", 0x200F},   {"tab", u'\t'},
};

bool IsLetter(unsigned char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }
int HexValue(unsigned char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

class Reader {
 public:
  Reader(std::string_view bytes, Sink& sink, Tables& tables)
      : m_in(bytes), m_sink(sink), m_tables(tables) {}

  void Run() {
    while (m_pos < m_in.size()) Step();
    FlushText();
    // A document cut short still shows the picture it was reading.
    while (!m_stack.empty()) EndGroup();
  }

 private:
  void Step() {
    const unsigned char c = static_cast<unsigned char>(m_in[m_pos]);
    switch (c) {
      case '{':
        ++m_pos;
        m_pendingSkip = 0;
        BeginGroup();
        return;
      case '}':
        ++m_pos;
        m_pendingSkip = 0;
        EndGroup();
        return;
      case '\\':
        ++m_pos;
        ControlSequence();
        return;
      case '\r':
      case '\n':
        ++m_pos;
        return;
      default:
        ++m_pos;
        if (m_pendingSkip > 0) {
          --m_pendingSkip;
          return;
        }
        TextByte(static_cast<char>(c));
        return;
    }
  }

  bool Skipping() const { return m_overflow > 0 || m_state.dest == Destination::Skip; }

  void BeginGroup() {
    if (m_overflow > 0 || m_stack.size() >= kMaxGroupDepth) {
      ++m_overflow;
      return;
    }
    m_stack.push_back(m_state);
    m_state.afterStar = false;
  }

  void EndGroup() {
    if (m_overflow > 0) {
      --m_overflow;
      return;
    }
    if (m_stack.empty()) return;  // an unmatched "}" is ignored
    const GroupState& parent = m_stack.back();
    if (m_state.dest == Destination::Picture && parent.dest != Destination::Picture) {
      EndPicture(parent);
    }
    if (m_state.dest == Destination::FontTable) CommitFont();
    m_state = parent;
    m_stack.pop_back();
  }

  void ControlSequence() {
    if (m_pos >= m_in.size()) return;
    const unsigned char c = static_cast<unsigned char>(m_in[m_pos]);
    if (IsLetter(c)) {
      ControlWord();
      return;
    }
    ++m_pos;
    if (c == '\'') {
      int value = -1;
      if (m_pos + 1 < m_in.size()) {
        const int high = HexValue(static_cast<unsigned char>(m_in[m_pos]));
        const int low = HexValue(static_cast<unsigned char>(m_in[m_pos + 1]));
        if (high >= 0 && low >= 0) {
          value = high * 16 + low;
          m_pos += 2;
        }
      }
      if (m_pendingSkip > 0) {
        --m_pendingSkip;
        return;
      }
      if (value >= 0) TextByte(static_cast<char>(value));
      return;
    }
    if (m_pendingSkip > 0) {
      --m_pendingSkip;
      return;
    }
    switch (c) {
      case '\\':
      case '{':
      case '}':
        TextByte(static_cast<char>(c));
        return;
      case '*':
        m_state.afterStar = true;
        return;
      case '~':
        TextUnit(0x00A0);
        return;
      case '_':
        TextUnit(0x2011);
        return;
      case '\r':
      case '\n':
        Word("par", false, 0);
        return;
      case '\t':
        TextUnit(u'\t');
        return;
      default:
        return;  // \- (optional hyphen), \| \: and unknown symbols
    }
  }

  void ControlWord() {
    char word[kMaxWordLength + 1];
    size_t length = 0;
    while (m_pos < m_in.size() && IsLetter(static_cast<unsigned char>(m_in[m_pos]))) {
      if (length < kMaxWordLength) word[length] = m_in[m_pos];
      ++length;
      ++m_pos;
    }
    const bool known = length <= kMaxWordLength;
    word[std::min(length, kMaxWordLength)] = 0;

    bool hasParameter = false;
    bool negative = false;
    long long value = 0;
    if (m_pos + 1 < m_in.size() && m_in[m_pos] == '-' &&
        IsDigit(static_cast<unsigned char>(m_in[m_pos + 1]))) {
      negative = true;
      ++m_pos;
    }
    while (m_pos < m_in.size() && IsDigit(static_cast<unsigned char>(m_in[m_pos]))) {
      hasParameter = true;
      if (value < kMaxParameter) value = value * 10 + (m_in[m_pos] - '0');
      ++m_pos;
    }
    value = std::min<long long>(value, kMaxParameter);
    if (m_pos < m_in.size() && m_in[m_pos] == ' ') ++m_pos;

    if (m_pendingSkip > 0) {
      --m_pendingSkip;
      return;
    }
    if (!known) {
      if (m_state.afterStar) m_state.dest = Destination::Skip;
      m_state.afterStar = false;
      return;
    }
    Word(word, hasParameter, static_cast<int>(negative ? -value : value));
  }

  void Word(const char* word, bool hasParameter, int value) {
    const auto is = [word](const char* name) { return std::strcmp(word, name) == 0; };

    if (is("bin")) {  // raw bytes follow, whatever the destination
      const size_t count = std::min<size_t>(value > 0 ? static_cast<size_t>(value) : 0,
                                            m_in.size() - m_pos);
      if (!Skipping() && m_state.dest == Destination::Picture) {
        m_pict.append(m_in.substr(m_pos, count));
      }
      m_pos += count;
      return;
    }
    if (m_state.afterStar) {
      m_state.afterStar = false;
      if (!is("shppict")) m_state.dest = Destination::Skip;
      return;
    }
    if (Skipping()) return;

    for (const char* name : kSkippedDestinations) {
      if (is(name)) {
        m_state.dest = Destination::Skip;
        return;
      }
    }

    switch (m_state.dest) {
      case Destination::FontTable:
        FontTableWord(is, hasParameter, value);
        return;
      case Destination::ColorTable:
        if (is("red")) m_color.red = static_cast<uint8_t>(std::clamp(value, 0, 255));
        if (is("green")) m_color.green = static_cast<uint8_t>(std::clamp(value, 0, 255));
        if (is("blue")) m_color.blue = static_cast<uint8_t>(std::clamp(value, 0, 255));
        return;
      case Destination::Picture:
        PictureWord(is, value);
        return;
      default:
        break;
    }

    if (is("fonttbl")) {
      m_state.dest = Destination::FontTable;
      m_fontPending = false;
      return;
    }
    if (is("colortbl")) {
      m_state.dest = Destination::ColorTable;
      m_color = Color{};
      return;
    }
    if (is("pict")) {
      m_state.dest = Destination::Picture;
      m_pict.clear();
      m_pictKind = -1;
      m_pictWidth = m_pictHeight = 0;
      m_pictScaleX = m_pictScaleY = 100;
      m_nibble = -1;
      return;
    }

    CharFormat& chr = m_state.chr;
    ParaFormat& para = m_state.para;
    const bool on = !hasParameter || value != 0;
    if (is("par") || is("sect") || is("page")) {
      FlushText();
      m_sink.ParagraphEnd(para);
    } else if (is("line")) {
      FlushText();
      m_sink.LineBreak(chr, para);
    } else if (is("cell") || is("nestcell")) {
      FlushText();
      m_sink.CellEnd(para);
    } else if (is("row") || is("nestrow")) {
      FlushText();
      m_sink.RowEnd();
    } else if (is("pard")) {
      para = ParaFormat{};
    } else if (is("intbl")) {
      para.inTable = on;
    } else if (is("ql")) {
      para.alignment = Alignment::Left;
    } else if (is("qc")) {
      para.alignment = Alignment::Center;
    } else if (is("qr")) {
      para.alignment = Alignment::Right;
    } else if (is("qj")) {
      para.alignment = Alignment::Justify;
    } else if (is("plain")) {
      chr = CharFormat{};
    } else if (is("b")) {
      chr.bold = on;
    } else if (is("i")) {
      chr.italic = on;
    } else if (is("strike") || is("striked")) {
      chr.strike = on;
    } else if (is("ulnone")) {
      chr.underline = false;
    } else if (std::strncmp(word, "ul", 2) == 0 && !is("ulc")) {
      chr.underline = on;
    } else if (is("fs")) {
      if (value > 0) chr.halfPoints = std::min(value, 3276);
    } else if (is("cf")) {
      chr.color = std::max(value, 0);
    } else if (is("cb") || is("highlight") || is("chcbpat")) {
      chr.background = std::max(value, 0);
    } else if (is("f")) {
      chr.font = std::max(value, 0);
    } else if (is("deff")) {
      m_tables.defaultFont = std::max(value, 0);
    } else if (is("uc")) {
      m_state.uc = std::clamp(value, 0, 16);
    } else if (is("u")) {
      TextUnit(static_cast<char16_t>(static_cast<uint16_t>(value & 0xFFFF)));
      m_pendingSkip = m_state.uc;
    } else if (is("ansicpg")) {
      if (value > 0 && value < 65536) m_tables.codePage = value;
    } else if (is("ansi")) {
      m_tables.codePage = 1252;
    } else if (is("mac")) {
      m_tables.codePage = 10000;
    } else if (is("pc")) {
      m_tables.codePage = 437;
    } else if (is("pca")) {
      m_tables.codePage = 850;
    } else {
      for (const NamedCharacter& named : kNamedCharacters) {
        if (is(named.word)) {
          TextUnit(named.unit);
          return;
        }
      }
    }
  }

  template <class Is>
  void FontTableWord(const Is& is, bool hasParameter, int value) {
    if (is("f") && hasParameter) {
      CommitFont();
      m_fontNumber = std::max(value, 0);
      m_font = Font{};
      m_fontPending = true;
    } else if (is("fcharset")) {
      m_font.codePage = CodePageOfCharset(value);
    } else if (is("cpg")) {
      if (value > 0 && value < 65536) m_font.codePage = value;
    }
  }

  void CommitFont() {
    if (!m_fontPending) return;
    m_fontPending = false;
    m_tables.fonts[m_fontNumber] = m_font;
  }

  template <class Is>
  void PictureWord(const Is& is, int value) {
    if (is("pngblip")) m_pictKind = static_cast<int>(PictureKind::Png);
    else if (is("jpegblip")) m_pictKind = static_cast<int>(PictureKind::Jpeg);
    else if (is("picwgoal")) m_pictWidth = std::max(value, 0);
    else if (is("pichgoal")) m_pictHeight = std::max(value, 0);
    else if (is("picscalex")) m_pictScaleX = std::clamp(value, 1, 1000);
    else if (is("picscaley")) m_pictScaleY = std::clamp(value, 1, 1000);
    else if (is("wmetafile") || is("emfblip") || is("macpict") || is("dibitmap") ||
             is("wbitmap") || is("pmmetafile")) {
      m_pictKind = -1;
    }
  }

  void EndPicture(const GroupState& parent) {
    if (m_pictKind < 0 || m_pict.empty()) return;
    FlushText();
    const long long width = static_cast<long long>(m_pictWidth) * m_pictScaleX / 100;
    const long long height = static_cast<long long>(m_pictHeight) * m_pictScaleY / 100;
    m_sink.Picture(static_cast<PictureKind>(m_pictKind), m_pict,
                   static_cast<int>(std::min<long long>(width, kMaxParameter)),
                   static_cast<int>(std::min<long long>(height, kMaxParameter)), parent.chr,
                   parent.para);
    m_pict.clear();
  }

  void TextByte(char c) {
    if (Skipping()) return;
    switch (m_state.dest) {
      case Destination::Normal:
        if (!m_units.empty()) FlushText();
        if (!m_bytes.empty() && (m_runChr != m_state.chr || m_runPara != m_state.para)) {
          FlushText();
        }
        if (m_bytes.empty()) {
          m_runChr = m_state.chr;
          m_runPara = m_state.para;
        }
        m_bytes.push_back(c);
        return;
      case Destination::FontTable:
        if (c == ';') CommitFont();
        else if (m_fontPending && m_font.name.size() < kMaxFontName) m_font.name.push_back(c);
        return;
      case Destination::ColorTable:
        if (c == ';') {
          m_tables.colors.push_back(m_color);
          m_color = Color{};
        }
        return;
      case Destination::Picture: {
        const int nibble = HexValue(static_cast<unsigned char>(c));
        if (nibble < 0) return;
        if (m_nibble < 0) {
          m_nibble = nibble;
        } else {
          m_pict.push_back(static_cast<char>(m_nibble * 16 + nibble));
          m_nibble = -1;
        }
        return;
      }
      default:
        return;
    }
  }

  void TextUnit(char16_t unit) {
    if (unit == 0 || Skipping() || m_state.dest != Destination::Normal) return;
    if (!m_bytes.empty()) FlushText();
    if (!m_units.empty() && (m_runChr != m_state.chr || m_runPara != m_state.para)) FlushText();
    if (m_units.empty()) {
      m_runChr = m_state.chr;
      m_runPara = m_state.para;
    }
    m_units.push_back(unit);
  }

  void FlushText() {
    if (!m_bytes.empty()) {
      m_sink.Bytes(m_bytes, m_tables.CodePageOf(m_runChr.font), m_runChr, m_runPara);
      m_bytes.clear();
    }
    if (!m_units.empty()) {
      m_sink.Unicode(m_units, m_runChr, m_runPara);
      m_units.clear();
    }
  }

  std::string_view m_in;
  Sink& m_sink;
  size_t m_pos = 0;
  GroupState m_state;
  std::vector<GroupState> m_stack;
  size_t m_overflow = 0;  // groups opened beyond kMaxGroupDepth
  int m_pendingSkip = 0;  // characters still to skip after a \uN
  Tables& m_tables;

  // The text run being collected and the formats it started with.
  std::string m_bytes;
  std::u16string m_units;
  CharFormat m_runChr;
  ParaFormat m_runPara;

  // Font and colour table entries being read.
  int m_fontNumber = 0;
  Font m_font;
  bool m_fontPending = false;
  Color m_color;

  // The picture being read.
  std::string m_pict;
  int m_pictKind = -1;
  int m_pictWidth = 0, m_pictHeight = 0;
  int m_pictScaleX = 100, m_pictScaleY = 100;
  int m_nibble = -1;
};

}  // namespace

const Font* Tables::FindFont(int number) const {
  const auto found = fonts.find(number >= 0 ? number : defaultFont);
  return found == fonts.end() ? nullptr : &found->second;
}

int Tables::CodePageOf(int fontNumber) const {
  const Font* font = FindFont(fontNumber);
  return font && font->codePage > 0 ? font->codePage : codePage;
}

bool HasRtfHeader(std::string_view bytes) { return bytes.substr(0, 5) == "{\\rtf"; }

void Read(std::string_view bytes, Sink& sink, Tables& tables) {
  tables = Tables{};
  Reader(bytes, sink, tables).Run();
}

int CodePageOfCharset(int charset) {
  switch (charset) {
    case 77: return 10000;
    case 128: return 932;
    case 129: return 949;
    case 134: return 936;
    case 136: return 950;
    case 161: return 1253;
    case 162: return 1254;
    case 163: return 1258;
    case 177: return 1255;
    case 178: return 1256;
    case 186: return 1257;
    case 204: return 1251;
    case 222: return 874;
    case 238: return 1250;
    case 255: return 437;
    default: return 0;  // 0 (ANSI), 1 (default), 2 (symbol) and the rest
  }
}

}  // namespace quillon::rtf
