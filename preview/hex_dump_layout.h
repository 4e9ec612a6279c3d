#pragma once
// The arithmetic of the hex dump control, free of any window: its style bits,
// the cell widths of the six representations, the address width, where the
// value panel, the header and the columns go for a client size, the hit test,
// the scroll range, the cursor moves of the keyboard and the tooltip format
// language. The control (hex_dump_ctrl.h) paints and handles input with it.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace hexdump {

enum : uint32_t {
  DUMP_SHOW_ADDR = 0x1,
  DUMP_SHOW_HEX = 0x2,
  DUMP_SHOW_DEC = 0x4,
  DUMP_SHOW_BIN = 0x8,
  DUMP_SHOW_OCT = 0x10,
  DUMP_SHOW_ASCII = 0x20,
  DUMP_PANEL_ADDR = 0x100,
  DUMP_PANEL_HEX = 0x200,
  DUMP_PANEL_DEC = 0x400,
  DUMP_PANEL_BIN = 0x800,
  DUMP_PANEL_OCT = 0x1000,
  DUMP_PANEL_ASCII = 0x2000,
  DUMP_COLUMN_LINES = 0x10000,
  DUMP_WORDS = 0x20000,
  DUMP_HEADER = 0x40000,
  DUMP_READONLY = 0x80000,
  DUMP_DRAG_SELECT = 0x100000,
  DUMP_LITTLE_ENDIAN = 0x200000,
  DUMP_HOT_TRACK = 0x400000,
};
inline constexpr uint32_t kShowMask = 0x3F;
inline constexpr uint32_t kPanelMask = 0x3F00;
// Address, hex and character columns; panel items Addr, Hex, Dec, Bin and
// Ascii; hot tracking.
inline constexpr uint32_t kDefaultStyle = 0x402F23;

// The representations, numbered as the hit test's panel areas.
enum Repr : int { kAddr = 1, kHex = 2, kDec = 3, kBin = 4, kOct = 5, kAscii = 6 };
// "Addr", "Hex", "Dec", "Bin", "Oct", "Ascii".
const char* ReprName(int repr);
inline uint32_t ShowBit(int repr) { return 1u << (repr - 1); }
inline uint32_t PanelBit(int repr) { return 0x100u << (repr - 1); }

// Hit-test areas: 1..6 the panel items, 17..22 the grid columns.
inline constexpr int kNoArea = -1;
inline constexpr int kGridArea = 16;  // + representation

// Digits of the address column: 4, or 4 plus the hex digits of (last address
// >> 16) when the last address (base + cells - 1) exceeds 0xFFFF.
int AddressWidth(uint64_t base, uint64_t cellCount);
// Width of a cell in characters.
int CellChars(int repr, bool words, int addressWidth);

struct Metrics {
  int charWidth = 7;       // average character width, pixels
  int rowHeight = 14;      // font height x 1.2, pixels
  int scrollBarWidth = 16;
};

struct Rect {
  int left = 0, top = 0, right = 0, bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
};

struct PanelItem {
  int repr = 0;
  Rect rect;        // label and value
  int valueLeft = 0;  // where the value cell starts
  int valueChars = 0;
};

struct Column {
  int repr = 0;
  int left = 0;
  int width = 0;      // pixels
  int cellChars = 0;  // characters of one cell
};

struct Layout {
  int width = 0, height = 0;
  std::vector<PanelItem> panel;
  int panelBottom = 0;  // 0 without a panel
  int headerTop = 0, headerBottom = 0;  // equal without a header
  Rect grid;            // the grid, without the scroll bar
  std::vector<Column> columns;  // left to right; the address column first when shown
  int cellsPerRow = 0;
  int rowsPerPage = 0;
  int64_t cellsPerPage = 0;
  int firstRowTop = 0;  // grid top + a quarter row
  Metrics metrics;

  const Column* ColumnOf(int repr) const;
  // Top of the visible row number `row` (0 = first visible).
  int RowTop(int row) const { return firstRowTop + row * metrics.rowHeight; }
  // Pixel rectangle of a cell shown in a column at a visible row and column offset.
  Rect CellRect(const Column& column, int row, int offset) const;
};

// The layout for a client size. addressWidth from AddressWidth.
Layout ComputeLayout(uint32_t style, int width, int height, int addressWidth, const Metrics& metrics);

struct Hit {
  int area = kNoArea;
  int64_t cell = -1;  // -1 when the point is on no cell
};
// The area and cell under a point. firstVisible: the first visible cell.
Hit HitTest(const Layout& layout, int x, int y, int64_t firstVisible, int64_t cellCount);

// Highest first row (in rows) the view can scroll to.
int64_t ScrollMax(int64_t cellCount, int64_t cellsPerPage, int cellsPerRow);
// The first visible cell that shows `cell`'s row, starting from firstVisible.
int64_t ScrollToShow(int64_t cell, int64_t firstVisible, const Layout& layout, int64_t cellCount);

enum class Key { Left, Right, Up, Down, PageUp, PageDown, Home, End, CtrlHome, CtrlEnd };
struct Position {
  int64_t cursor = 0;
  int64_t firstVisible = 0;
  bool operator==(const Position&) const = default;
};
// A cursor move of the keyboard with its edge rules, and the scroll that follows.
Position MoveCursor(Key key, Position from, const Layout& layout, int64_t cellCount);

// The text of a cell in a representation. value: the cell's value (one byte,
// or a word read in the style's byte order).
std::string CellText(int repr, uint64_t value, bool words, int addressWidth);
// The value of a cell: one byte, or two in word mode, in the style's byte order.
// Never reads outside data.
uint64_t CellValue(std::span<const uint8_t> data, int64_t cell, uint32_t style);

// The tooltip for the hovered cell: the format with each specifier replaced
// (see the control's documentation of the language). Never reads outside data;
// a value that would run past the end uses the bytes there are.
std::string FormatTooltip(std::string_view format, std::span<const uint8_t> data, int64_t cell, uint32_t style,
                          uint64_t base, int addressWidth, char substitute = 0);

}  // namespace hexdump
