// The hex dump's arithmetic with random styles, sizes, data lengths, mouse
// points, key sequences and tooltip formats: nothing may be read outside the
// data, and every cell it names must exist.

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "hex_dump_layout.h"

using namespace hexdump;

namespace {
struct Input {
  const uint8_t* p;
  size_t n;
  template <class T>
  T Take() {
    T value{};
    const size_t k = n < sizeof(T) ? n : sizeof(T);
    std::memcpy(&value, p, k);
    p += k;
    n -= k;
    return value;
  }
};

void Check(bool ok) {
  if (!ok) std::abort();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Input in{data, size};
  const uint32_t style = in.Take<uint32_t>();
  const int width = in.Take<uint16_t>() % 5000;
  const int height = in.Take<uint16_t>() % 3000;
  Metrics m;
  m.charWidth = 1 + in.Take<uint8_t>() % 32;
  m.rowHeight = 1 + in.Take<uint8_t>() % 48;
  m.scrollBarWidth = in.Take<uint8_t>() % 40;
  const uint64_t base = in.Take<uint32_t>() & 0xFFFFFF;
  const uint8_t keys = in.Take<uint8_t>();
  const int64_t startCell = in.Take<uint32_t>();
  const int px = in.Take<uint16_t>() % 5200, py = in.Take<uint16_t>() % 3200;
  // The format up to a zero byte, the data after it (an exact heap copy).
  const uint8_t* zero = static_cast<const uint8_t*>(std::memchr(in.p, 0, in.n));
  const size_t formatLength = zero ? size_t(zero - in.p) : in.n;
  const std::string format(reinterpret_cast<const char*>(in.p), formatLength);
  const size_t rest = zero ? in.n - formatLength - 1 : 0;
  std::vector<uint8_t> bytes(zero ? zero + 1 : in.p + in.n, (zero ? zero + 1 : in.p + in.n) + rest);

  const int64_t cells = int64_t((style & DUMP_WORDS) ? bytes.size() / 2 : bytes.size());
  const int aw = AddressWidth(base, uint64_t(cells));
  Check(aw >= 4 && aw <= 12);
  const Layout layout = ComputeLayout(style, width, height, aw, m);
  Check(layout.cellsPerRow >= 0 && layout.rowsPerPage >= 0);
  for (const Column& c : layout.columns) Check(c.left >= 0 && c.width >= 0);
  for (const PanelItem& item : layout.panel) Check(item.rect.right <= width);

  int64_t first = 0;
  if (layout.cellsPerRow > 0 && cells > 0) first = ScrollToShow(startCell % cells, 0, layout, cells);
  const Hit hit = HitTest(layout, px, py, first, cells);
  Check(hit.cell < cells);

  Position pos{cells > 0 ? startCell % cells : 0, first};
  for (int k = 0; k < 8; ++k) {
    pos = MoveCursor(Key((keys >> k) % 10), pos, layout, cells);
    Check(cells == 0 || (pos.cursor >= 0 && pos.cursor < cells));
    Check(pos.firstVisible >= 0);
    if (layout.cellsPerRow > 0) Check(pos.firstVisible % layout.cellsPerRow == 0);
  }
  const int64_t cell = hit.cell >= 0 ? hit.cell : pos.cursor;
  (void)FormatTooltip(format, bytes, cell, style, base, aw, '.');
  (void)FormatTooltip(format, bytes, cells, style, base, aw);
  for (int repr = kAddr; repr <= kAscii; ++repr)
    (void)CellText(repr, CellValue(bytes, cell, style), style & DUMP_WORDS, aw);
  return 0;
}
