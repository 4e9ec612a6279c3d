#include "terminal_text.h"

#include <cstdio>

namespace {
void AppendEscaped(std::string& out, unsigned value) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "\\x%02x", value & 0xFF);
  out += buf;
}

// The length of the well-formed UTF-8 sequence at text[i], or 0.
size_t SequenceLength(std::string_view text, size_t i) {
  const auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned lead = byte(i);
  size_t length = 0;
  if (lead >= 0xC2 && lead <= 0xDF) length = 2;
  else if (lead >= 0xE0 && lead <= 0xEF) length = 3;
  else if (lead >= 0xF0 && lead <= 0xF4) length = 4;
  else return 0;
  if (i + length > text.size()) return 0;
  for (size_t k = 1; k < length; ++k)
    if ((byte(i + k) & 0xC0) != 0x80) return 0;
  // No overlong forms, no surrogates, nothing above U+10FFFF.
  if (lead == 0xE0 && byte(i + 1) < 0xA0) return 0;
  if (lead == 0xED && byte(i + 1) > 0x9F) return 0;
  if (lead == 0xF0 && byte(i + 1) < 0x90) return 0;
  if (lead == 0xF4 && byte(i + 1) > 0x8F) return 0;
  return length;
}
}  // namespace

std::string TerminalText(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size();) {
    const unsigned c = static_cast<unsigned char>(utf8[i]);
    if (c < 0x80) {
      if (c < 0x20 || c == 0x7F) AppendEscaped(out, c);
      else out += char(c);
      ++i;
      continue;
    }
    const size_t length = SequenceLength(utf8, i);
    if (length == 0) {
      AppendEscaped(out, c);
      ++i;
      continue;
    }
    // C1 controls (U+0080..U+009F) are C2 80..C2 9F; terminals take some of
    // them as ESC sequences.
    const unsigned next = static_cast<unsigned char>(utf8[i + 1]);
    if (c == 0xC2 && next < 0xA0) AppendEscaped(out, next);
    else out.append(utf8.substr(i, length));
    i += length;
  }
  return out;
}
