#include "text.h"

namespace quillon {

namespace {
void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += char(c);
  } else if (c < 0x800) {
    out += char(0xC0 | (c >> 6));
    out += char(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += char(0xE0 | (c >> 12));
    out += char(0x80 | ((c >> 6) & 0x3F));
    out += char(0x80 | (c & 0x3F));
  } else {
    out += char(0xF0 | (c >> 18));
    out += char(0x80 | ((c >> 12) & 0x3F));
    out += char(0x80 | ((c >> 6) & 0x3F));
    out += char(0x80 | (c & 0x3F));
  }
}

void AppendUtf16(std::u16string& out, char32_t c) {
  if (c < 0x10000) {
    out += char16_t(c);
  } else {
    c -= 0x10000;
    out += char16_t(0xD800 + (c >> 10));
    out += char16_t(0xDC00 + (c & 0x3FF));
  }
}
}  // namespace

std::string Utf16ToUtf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (c >= 0xD800 && c <= 0xDBFF) {
      if (i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
        c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
        ++i;
      } else {
        c = 0xFFFD;
      }
    } else if (c >= 0xDC00 && c <= 0xDFFF) {
      c = 0xFFFD;
    }
    AppendUtf8(out, c);
  }
  return out;
}

std::u16string Utf8ToUtf16(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    const unsigned char b = static_cast<unsigned char>(text[i]);
    char32_t c = 0;
    size_t extra = 0;
    char32_t min = 0;
    if (b < 0x80) {
      c = b;
    } else if ((b & 0xE0) == 0xC0) {
      c = b & 0x1F, extra = 1, min = 0x80;
    } else if ((b & 0xF0) == 0xE0) {
      c = b & 0x0F, extra = 2, min = 0x800;
    } else if ((b & 0xF8) == 0xF0) {
      c = b & 0x07, extra = 3, min = 0x10000;
    } else {
      out += char16_t(0xFFFD);
      ++i;
      continue;
    }
    size_t j = 1;
    for (; j <= extra; ++j) {
      if (i + j >= text.size()) break;
      const unsigned char n = static_cast<unsigned char>(text[i + j]);
      if ((n & 0xC0) != 0x80) break;
      c = (c << 6) | (n & 0x3F);
    }
    if (j <= extra || c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
      out += char16_t(0xFFFD);
      i += j;
      continue;
    }
    AppendUtf16(out, c);
    i += extra + 1;
  }
  return out;
}

std::filesystem::path PathFromUtf16(std::u16string_view text) {
  return std::filesystem::path(Utf16ToUtf8(text));
}

std::u16string PathToUtf16(const std::filesystem::path& path) {
  return Utf8ToUtf16(path.native());
}

std::u16string ToDecimal16(uint64_t value) {
  std::u16string digits;
  do {
    digits.insert(digits.begin(), char16_t(u'0' + value % 10));
    value /= 10;
  } while (value != 0);
  return digits;
}

std::u16string ToDecimal16(int64_t value) {
  if (value >= 0) return ToDecimal16(static_cast<uint64_t>(value));
  return u"-" + ToDecimal16(static_cast<uint64_t>(0) - static_cast<uint64_t>(value));
}

uint64_t ParseDecimalU64(std::u16string_view text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == u' ' || text[i] == u'\t' || text[i] == u'\n' || text[i] == u'\r'))
    ++i;
  uint64_t value = 0;
  for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
    const uint64_t digit = text[i] - u'0';
    if (value > (UINT64_MAX - digit) / 10) return UINT64_MAX;
    value = value * 10 + digit;
  }
  return value;
}

std::u16string Trim16(std::u16string_view text) {
  auto blank = [](char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; };
  size_t b = 0, e = text.size();
  while (b < e && blank(text[b])) ++b;
  while (e > b && blank(text[e - 1])) --e;
  return std::u16string(text.substr(b, e - b));
}

}  // namespace quillon
