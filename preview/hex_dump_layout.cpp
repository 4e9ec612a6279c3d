#include "hex_dump_layout.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace hexdump {

namespace {
const char* const kReprNames[] = {"Addr", "Hex", "Dec", "Bin", "Oct", "Ascii"};

int HexDigits(uint64_t value) {
  int digits = 1;
  while (value >>= 4) ++digits;
  return digits;
}

// Upper-case hex of value with exactly `digits` digits (the low ones).
std::string Hex(uint64_t value, int digits) {
  std::string text(size_t(digits), '0');
  for (int i = digits - 1; i >= 0 && value; --i, value >>= 4) text[size_t(i)] = "0123456789ABCDEF"[value & 0xF];
  return text;
}

std::string Octal(uint64_t value) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%llo", static_cast<unsigned long long>(value));
  return buffer;
}

// Bits of `bytes` bytes, most significant first, "-" between the bytes.
std::string Binary(uint64_t value, int bytes) {
  std::string text;
  for (int b = bytes - 1; b >= 0; --b) {
    for (int bit = 7; bit >= 0; --bit) text += ((value >> (b * 8 + bit)) & 1) ? '1' : '0';
    if (b) text += '-';
  }
  return text;
}

std::string RightAligned(std::string text, int width) {
  if (int(text.size()) < width) text.insert(0, size_t(width) - text.size(), ' ');
  return text;
}

// `count` bytes from data at offset in an order; the caller keeps them inside.
uint64_t ReadValue(std::span<const uint8_t> data, size_t offset, size_t count, bool littleEndian) {
  uint64_t value = 0;
  for (size_t i = 0; i < count; ++i) {
    const uint64_t byte = data[offset + i];
    if (littleEndian)
      value |= byte << (8 * i);
    else
      value = (value << 8) | byte;
  }
  return value;
}

int FloorDiv(int a, int b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }
}  // namespace

const char* ReprName(int repr) { return repr >= kAddr && repr <= kAscii ? kReprNames[repr - 1] : ""; }

int AddressWidth(uint64_t base, uint64_t cellCount) {
  if (cellCount == 0) return 4;
  const uint64_t last = base + cellCount - 1;
  if (last <= 0xFFFF) return 4;
  return 4 + HexDigits(last >> 16);
}

int CellChars(int repr, bool words, int addressWidth) {
  switch (repr) {
    case kAddr: return addressWidth;
    case kHex: return words ? 4 : 2;
    case kDec: return words ? 5 : 3;
    case kBin: return words ? 17 : 8;
    case kOct: return words ? 6 : 3;
    case kAscii: return 1;
    default: return 0;
  }
}

const Column* Layout::ColumnOf(int repr) const {
  for (const Column& column : columns)
    if (column.repr == repr) return &column;
  return nullptr;
}

Rect Layout::CellRect(const Column& column, int row, int offset) const {
  const int cw = metrics.charWidth;
  Rect r;
  r.top = RowTop(row);
  r.bottom = r.top + metrics.rowHeight;
  if (column.repr == kAddr) {
    r.left = column.left;
    r.right = column.left + column.width;
  } else if (column.repr == kAscii) {
    r.left = column.left + cw / 2 + offset * (cw + 1);
    r.right = r.left + cw + 1;
  } else {
    r.left = column.left + cw / 2 + offset * (column.cellChars + 1) * cw;
    r.right = r.left + (column.cellChars + 1) * cw;
  }
  return r;
}

Layout ComputeLayout(uint32_t style, int width, int height, int addressWidth, const Metrics& metrics) {
  Layout layout;
  layout.width = std::max(0, width);
  layout.height = std::max(0, height);
  layout.metrics = metrics;
  const int cw = std::max(1, metrics.charWidth);
  const int row = std::max(1, metrics.rowHeight);
  layout.metrics.charWidth = cw;
  layout.metrics.rowHeight = row;
  const bool words = style & DUMP_WORDS;

  // The value panel at the top.
  int top = 0;
  if (style & kPanelMask) {
    const int innerLeft = cw;
    const int innerRight = layout.width - cw;
    const int innerWidth = innerRight - innerLeft;
    int x = innerLeft;
    int y = row / 6;
    for (int repr = kAddr; repr <= kAscii; ++repr) {
      if (!(style & PanelBit(repr))) continue;
      const int label = int(std::strlen(ReprName(repr)));
      const int chars = label + CellChars(repr, words, addressWidth) + 3;
      const int itemWidth = chars * cw;
      if (itemWidth > innerWidth) continue;
      if (x + itemWidth > innerRight && x != innerLeft) {
        x = innerLeft;
        y += row;
      }
      PanelItem item;
      item.repr = repr;
      item.rect = {x, y, x + itemWidth, y + row};
      item.valueLeft = x + (label + 2) * cw;
      item.valueChars = CellChars(repr, words, addressWidth);
      layout.panel.push_back(item);
      x += itemWidth;
    }
    top = y + row + row / 6;
  }
  layout.panelBottom = top;

  // The header row.
  layout.headerTop = top;
  if (style & DUMP_HEADER) top += row + 1;
  layout.headerBottom = top;

  // The grid.
  layout.grid = {0, top, std::max(0, layout.width - metrics.scrollBarWidth), std::max(top, layout.height)};
  int x = 0;
  if (style & DUMP_SHOW_ADDR) {
    layout.columns.push_back({kAddr, 0, (addressWidth + 2) * cw, addressWidth});
    x = (addressWidth + 2) * cw;
  }
  const int remaining = layout.grid.right - x;
  int valueColumns = 0;
  int perCell = 0;
  for (int repr = kHex; repr <= kOct; ++repr)
    if (style & ShowBit(repr)) {
      ++valueColumns;
      perCell += (CellChars(repr, words, addressWidth) + 1) * cw;
    }
  const bool ascii = style & DUMP_SHOW_ASCII;
  if (ascii) perCell += cw + 1;
  int cellsPerRow = 0;
  if ((valueColumns || ascii) && remaining / cw > 0) {
    const int usable = remaining - valueColumns * cw - (ascii ? 2 * cw - 1 : 0);
    cellsPerRow = usable > 0 ? usable / perCell : 0;
  }
  layout.cellsPerRow = cellsPerRow;
  for (int repr = kHex; repr <= kOct; ++repr) {
    if (!(style & ShowBit(repr))) continue;
    const int cell = CellChars(repr, words, addressWidth);
    const int w = (cellsPerRow * (cell + 1) + 1) * cw;
    layout.columns.push_back({repr, x, w, cell});
    x += w;
  }
  if (ascii) {
    const int w = (cellsPerRow + 2) * cw + cellsPerRow;
    layout.columns.push_back({kAscii, x, w, 1});
  }
  layout.firstRowTop = layout.grid.top + row / 4;
  layout.rowsPerPage = std::max(0, (layout.grid.Height() - row / 4) / row);
  layout.cellsPerPage = int64_t(layout.rowsPerPage) * cellsPerRow;
  return layout;
}

Hit HitTest(const Layout& layout, int x, int y, int64_t firstVisible, int64_t cellCount) {
  Hit hit;
  for (const PanelItem& item : layout.panel)
    if (item.rect.Contains(x, y)) {
      hit.area = item.repr;
      return hit;
    }
  if (y < layout.grid.top || y >= layout.grid.bottom || x < 0 || x >= layout.grid.right) return hit;
  for (const Column& column : layout.columns) {
    if (x < column.left || x >= column.left + column.width) continue;
    hit.area = kGridArea + column.repr;
    if (layout.cellsPerRow <= 0 || y < layout.firstRowTop) return hit;
    const int row = (y - layout.firstRowTop) / layout.metrics.rowHeight;
    if (row >= layout.rowsPerPage) return hit;
    int offset = 0;
    if (column.repr != kAddr) {
      const int cw = layout.metrics.charWidth;
      const int slot = column.repr == kAscii ? cw + 1 : (column.cellChars + 1) * cw;
      offset = FloorDiv(x - (column.left + cw / 2), slot);
      if (offset < 0 || offset >= layout.cellsPerRow) return hit;
    }
    const int64_t cell = firstVisible + int64_t(row) * layout.cellsPerRow + offset;
    if (cell < cellCount) hit.cell = cell;
    return hit;
  }
  return hit;
}

int64_t ScrollMax(int64_t cellCount, int64_t cellsPerPage, int cellsPerRow) {
  if (cellsPerRow <= 0) return 0;
  int64_t max = (cellCount - cellsPerPage) / cellsPerRow;
  if (cellCount % cellsPerRow) ++max;
  return std::max<int64_t>(0, max);
}

int64_t ScrollToShow(int64_t cell, int64_t firstVisible, const Layout& layout, int64_t cellCount) {
  const int cpr = layout.cellsPerRow;
  if (cpr <= 0) return 0;
  const int64_t row = cell / cpr;
  int64_t first = firstVisible / cpr;
  const int64_t rows = std::max(1, layout.rowsPerPage);
  if (row < first)
    first = row;
  else if (row >= first + rows)
    first = row - rows + 1;
  first = std::clamp<int64_t>(first, 0, ScrollMax(cellCount, layout.cellsPerPage, cpr));
  return first * cpr;
}

Position MoveCursor(Key key, Position from, const Layout& layout, int64_t cellCount) {
  const int64_t cpr = layout.cellsPerRow;
  if (cellCount <= 0 || cpr <= 0) return from;
  const int64_t last = cellCount - 1;
  const int64_t c = std::clamp<int64_t>(from.cursor, 0, last);
  int64_t target = c;
  switch (key) {
    case Key::Left: target = c - 1; break;
    case Key::Right: target = c + 1; break;
    case Key::Up: target = c - cpr; break;
    case Key::Down: target = c + cpr; break;
    case Key::PageUp:
      target = c - layout.cellsPerPage;
      if (target < 0) target = c % cpr;
      break;
    case Key::PageDown: target = c + layout.cellsPerPage; break;
    case Key::Home: target = c - c % cpr; break;
    case Key::End: target = std::min(c - c % cpr + cpr - 1, last); break;
    case Key::CtrlHome: target = 0; break;
    case Key::CtrlEnd: target = last; break;
  }
  Position to{c, from.firstVisible};
  if (target > last) {
    // Past the end: the cursor stays; the last cell comes into view unless
    // the cursor is on the last row already.
    const bool onLastRow = c / cpr == last / cpr;
    to.firstVisible = ScrollToShow(onLastRow ? c : last, from.firstVisible, layout, cellCount);
  } else if (target < 0) {
    to.firstVisible = 0;
  } else {
    to.cursor = target;
    to.firstVisible = ScrollToShow(target, from.firstVisible, layout, cellCount);
  }
  return to;
}

std::string CellText(int repr, uint64_t value, bool words, int addressWidth) {
  const int bytes = words ? 2 : 1;
  switch (repr) {
    case kAddr: {
      const std::string full = Hex(value, 2 * ((addressWidth + 1) / 2));
      return " " + full.substr(full.size() - size_t(addressWidth)) + " ";
    }
    case kHex: return " " + Hex(value, 2 * bytes) + " ";
    case kDec: return " " + RightAligned(std::to_string(value), CellChars(kDec, words, addressWidth)) + " ";
    case kOct: return " " + RightAligned(Octal(value), CellChars(kOct, words, addressWidth)) + " ";
    case kBin: return " " + Binary(value, bytes) + " ";
    case kAscii: {
      const char c = char(value & 0xFF);
      return c ? std::string(1, c) : std::string();
    }
    default: return {};
  }
}

uint64_t CellValue(std::span<const uint8_t> data, int64_t cell, uint32_t style) {
  if (cell < 0) return 0;
  const size_t width = (style & DUMP_WORDS) ? 2 : 1;
  const size_t offset = size_t(cell) * width;
  if (offset >= data.size()) return 0;
  return ReadValue(data, offset, std::min(width, data.size() - offset), style & DUMP_LITTLE_ENDIAN);
}

std::string FormatTooltip(std::string_view format, std::span<const uint8_t> data, int64_t cell, uint32_t style,
                          uint64_t base, int addressWidth, char substitute) {
  std::string out;
  size_t lineStart = 0;
  const bool words = style & DUMP_WORDS;
  const size_t offset = cell >= 0 ? size_t(cell) * (words ? 2 : 1) : data.size();
  for (size_t i = 0; i < format.size(); ++i) {
    if (format[i] != '%') {
      out += format[i];
      continue;
    }
    bool little = style & DUMP_LITTLE_ENDIAN;
    int width = 0;
    size_t j = i + 1;
    for (; j < format.size(); ++j) {
      const char m = format[j];
      if (m == '+')
        little = false;
      else if (m == '-')
        little = true;
      else if (m >= '0' && m <= '4')
        width = m - '0';
      else
        break;
    }
    i = j;
    if (j >= format.size()) break;
    const char letter = format[j];
    if (letter == 'R') {
      const int w = width ? width : (addressWidth + 1) / 2;
      out += Hex(base + uint64_t(std::max<int64_t>(cell, 0)), 2 * w);
      continue;
    }
    if (letter == 'n') {
      out += "\r\n";
      lineStart = out.size();
      continue;
    }
    if (letter == 't') {
      do out += ' ';
      while ((out.size() - lineStart) % 4);
      continue;
    }
    if (letter != 'H' && letter != 'D' && letter != 'O' && letter != 'B' && letter != 'A') {
      out += letter;
      continue;
    }
    // A value of `width` bytes from the hovered cell; at the end of the data
    // only the bytes there are.
    const size_t wanted = size_t(width ? width : (words ? 2 : 1));
    const size_t count = offset < data.size() ? std::min(wanted, data.size() - offset) : 0;
    if (count == 0) continue;
    const uint64_t value = ReadValue(data, offset, count, little);
    switch (letter) {
      case 'H': out += Hex(value, int(2 * count)); break;
      case 'D': {
        const int bits = int(8 * count);
        int64_t signedValue = int64_t(value);
        if (bits < 64 && (value >> (bits - 1)) & 1) signedValue = int64_t(value) - (int64_t(1) << bits);
        out += std::to_string(signedValue);
        break;
      }
      case 'O': out += Octal(value); break;
      case 'B': out += Binary(value, int(count)); break;
      case 'A': {
        char c = char(value & 0xFF);
        if (uint8_t(c) < 32 && substitute) c = substitute;
        if (c) out += c;
        break;
      }
    }
  }
  return out;
}

}  // namespace hexdump
