// The hex dump control: the layout arithmetic, the value panel, address
// widths, the 1 MiB cut, the keyboard's edge rules, the wheel, the address
// editor, the tooltip language and what screen readers are told.

#include <QAccessible>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <numeric>
#include <sys/stat.h>
#include <QScrollBar>

#include "gui_test_support.h"
#include "hex_dump_ctrl.h"
#include "hex_dump_layout.h"
#include "hex_num_edit.h"
#include "static_file_viewer.h"
#include "test_support.h"

using namespace gui_testing;
using namespace hexdump;

namespace {

std::vector<uint8_t> Counting(size_t n) {
  std::vector<uint8_t> bytes(n);
  for (size_t i = 0; i < n; ++i) bytes[i] = uint8_t(i * 7 + 1);
  return bytes;
}

class HexDumpTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetRecorders();
    dump = std::make_unique<CHexDumpCtrl>();
    dump->resize(800, 300);
    dump->show();
  }
  void Load(std::vector<uint8_t> bytes) {
    data = std::move(bytes);
    dump->SetDumpData(int64_t(data.size()), data.data());
  }
  void Key(int key, Qt::KeyboardModifiers mods = Qt::NoModifier) { QTest::keyClick(dump.get(), Qt::Key(key), mods); }
  // The centre of a cell in a column, for a cell that is visible.
  QPoint CellCentre(int repr, int64_t cell) const {
    const Layout& l = dump->CurrentLayout();
    const Column* column = l.ColumnOf(repr);
    const int64_t rel = cell - dump->FirstVisible();
    const int row = int(rel / l.cellsPerRow), offset = repr == kAddr ? 0 : int(rel % l.cellsPerRow);
    const Rect r = l.CellRect(*column, row, offset);
    return QPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  }

  std::vector<uint8_t> data;
  std::unique_ptr<CHexDumpCtrl> dump;
};

TEST(HexDumpLayout, AddressWidthGrowsPastFourDigitsOnlyAbove0xFFFF) {
  struct Case {
    uint64_t cells;
    int width;
  } cases[] = {{0, 4}, {100, 4}, {65536, 4}, {65537, 5}, {70000, 5}, {1048576, 5}, {0x1000000, 6}, {0x1000001, 7}};
  for (const Case& c : cases) EXPECT_EQ(AddressWidth(0, c.cells), c.width) << c.cells;
  EXPECT_EQ(AddressWidth(0x10000, 1), 5);  // the base counts
}

TEST(HexDumpLayout, CellsPerRowFollowTheWidth) {
  const Metrics m{8, 16, 16};
  // Address (4 + 2 chars), hex and character columns of the default style:
  // (width - 16 - 48 - 8 - 15) / (3 * 8 + 9).
  for (int width : {300, 600, 1000, 1600}) {
    const Layout l = ComputeLayout(kDefaultStyle, width, 400, 4, m);
    EXPECT_EQ(l.cellsPerRow, (width - 16 - 48 - 8 - 15) / 33) << width;
    const Column* hex = l.ColumnOf(kHex);
    const Column* ascii = l.ColumnOf(kAscii);
    ASSERT_TRUE(hex && ascii);
    EXPECT_EQ(hex->left, 48);
    EXPECT_EQ(hex->width, (l.cellsPerRow * 3 + 1) * 8);
    EXPECT_EQ(ascii->left, hex->left + hex->width);
    EXPECT_EQ(ascii->width, (l.cellsPerRow + 2) * 8 + l.cellsPerRow);
    EXPECT_LE(ascii->left + ascii->width, width - 16 + 1);
  }
  EXPECT_GT(ComputeLayout(kDefaultStyle, 1600, 400, 4, m).cellsPerRow,
            ComputeLayout(kDefaultStyle, 600, 400, 4, m).cellsPerRow);
  // Too narrow, or no value column: no grid.
  EXPECT_EQ(ComputeLayout(kDefaultStyle, 60, 400, 4, m).cellsPerRow, 0);
  EXPECT_EQ(ComputeLayout(DUMP_SHOW_ADDR, 1600, 400, 4, m).cellsPerRow, 0);
  // Word mode: a hex cell is 4 characters.
  const Layout words = ComputeLayout(DUMP_SHOW_HEX | DUMP_WORDS, 16 + 8 + 5 * 8 * 10, 400, 4, m);
  EXPECT_EQ(words.cellsPerRow, 10);
}

TEST(HexDumpLayout, PanelLinesRowsAndPages) {
  const Metrics m{8, 18, 16};
  const Layout l = ComputeLayout(kDefaultStyle | DUMP_HEADER, 1000, 400, 5, m);
  // Addr (4 + 5 + 3), Hex (3 + 2 + 3), Dec (3 + 3 + 3), Bin (3 + 8 + 3), Ascii (5 + 1 + 3) characters.
  ASSERT_EQ(l.panel.size(), 5u);
  EXPECT_EQ(l.panel[0].rect.left, 8);
  EXPECT_EQ(l.panel[0].rect.Width(), 12 * 8);
  EXPECT_EQ(l.panel[1].rect.left, 8 + 12 * 8);
  EXPECT_EQ(l.panel[0].rect.top, 3);
  EXPECT_EQ(l.panelBottom, 3 + 18 + 3);
  EXPECT_EQ(l.headerBottom, l.panelBottom + 19);
  EXPECT_EQ(l.grid.top, l.headerBottom);
  EXPECT_EQ(l.firstRowTop, l.grid.top + 4);
  EXPECT_EQ(l.rowsPerPage, (400 - l.grid.top - 4) / 18);
  EXPECT_EQ(l.cellsPerPage, int64_t(l.rowsPerPage) * l.cellsPerRow);
  // A narrow control wraps the panel onto more lines and leaves out what never fits.
  const Layout narrow = ComputeLayout(kDefaultStyle, 8 * 16, 400, 5, m);
  ASSERT_FALSE(narrow.panel.empty());
  for (const PanelItem& item : narrow.panel) EXPECT_LE(item.rect.right, 8 * 15);
  EXPECT_GT(narrow.panel.back().rect.top, narrow.panel.front().rect.top);
}

TEST(HexDumpLayout, ScrollRange) {
  EXPECT_EQ(ScrollMax(100, 96, 16), 1);
  EXPECT_EQ(ScrollMax(112, 96, 16), 1);
  EXPECT_EQ(ScrollMax(113, 96, 16), 2);
  EXPECT_EQ(ScrollMax(10, 96, 16), 0);
  EXPECT_EQ(ScrollMax(0, 96, 16), 0);
  EXPECT_EQ(ScrollMax(1000, 0, 0), 0);
}

TEST(HexDumpLayout, CellTexts) {
  EXPECT_EQ(CellText(kAddr, 0x12, false, 4), " 0012 ");
  EXPECT_EQ(CellText(kAddr, 0x123, false, 5), " 00123 ");
  EXPECT_EQ(CellText(kAddr, 0xABCDEF, false, 5), " BCDEF ");
  EXPECT_EQ(CellText(kHex, 0x3F, false, 4), " 3F ");
  EXPECT_EQ(CellText(kHex, 0x3F41, true, 4), " 3F41 ");
  EXPECT_EQ(CellText(kDec, 7, false, 4), "   7 ");
  EXPECT_EQ(CellText(kDec, 65535, true, 4), " 65535 ");
  EXPECT_EQ(CellText(kOct, 8, false, 4), "  10 ");
  EXPECT_EQ(CellText(kBin, 0x3F, false, 4), " 00111111 ");
  EXPECT_EQ(CellText(kBin, 0x3F41, true, 4), " 00111111-01000001 ");
  EXPECT_EQ(CellText(kAscii, 'A', false, 4), "A");
  EXPECT_EQ(CellText(kAscii, 0xE9, false, 4), "\xE9");
  EXPECT_EQ(CellText(kAscii, 0, false, 4), "");
}

TEST(HexDumpTooltip, FormatLanguage) {
  std::vector<uint8_t> data(1048576, 0);
  data[0x123] = 0x3F;
  data[0x124] = 0x41;
  data[0x125] = 0xFF;
  const int aw = AddressWidth(0, data.size());
  EXPECT_EQ(FormatTooltip("Address : %RH Hex : %2H", data, 0x123, kDefaultStyle, 0, aw),
            "Address : 000123H Hex : 3F41");
  struct Case {
    const char* format;
    int64_t cell;
    uint32_t style;
    const char* text;
  } cases[] = {
      {"%H", 0x123, kDefaultStyle, "3F"},
      {"%-2H", 0x123, kDefaultStyle, "413F"},
      {"%2H", 0x123, kDefaultStyle | DUMP_LITTLE_ENDIAN, "413F"},
      {"%+2H", 0x123, kDefaultStyle | DUMP_LITTLE_ENDIAN, "3F41"},
      {"%D", 0x125, kDefaultStyle, "-1"},
      {"%2D", 0x124, kDefaultStyle, "16895"},
      {"%O", 0x123, kDefaultStyle, "77"},
      {"%2B", 0x123, kDefaultStyle, "00111111-01000001"},
      {"%A", 0x124, kDefaultStyle, "A"},
      {"%2R", 0x123, kDefaultStyle, "0123"},
      {"ab%tc", 0x123, kDefaultStyle, "ab  c"},
      {"x%nab%tc", 0x123, kDefaultStyle, "x\r\nab  c"},
      {"100%%", 0x123, kDefaultStyle, "100%"},
      {"%H", 0x91, kDefaultStyle | DUMP_WORDS, "003F"},  // word 0x91 = bytes 0x122, 0x123
      {"%4H", 1048575, kDefaultStyle, "00"},             // only the byte there is
      {"%H", 1048576, kDefaultStyle, ""},                // past the end: nothing read
      {"end%", 0x123, kDefaultStyle, "end"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(FormatTooltip(c.format, data, c.cell, c.style, 0, aw), c.text) << c.format;
}

TEST_F(HexDumpTest, PanelShowsTheCursorCellWhenTheMouseIsOutside) {
  std::vector<uint8_t> bytes(100, 0);
  bytes[0x12] = 0x3F;
  Load(bytes);
  dump->SetCursor(0x12);
  const QList<QPair<QString, QString>> expected = {
      {"Addr:", "0012"}, {"Hex:", "3F"}, {"Dec:", "63"}, {"Bin:", "00111111"}, {"Ascii:", "?"}};
  EXPECT_EQ(dump->PanelTexts(), expected);
  // The cell under the mouse takes its place while the mouse is on the grid.
  QTest::mouseMove(dump.get(), CellCentre(kHex, 3));
  EXPECT_EQ(dump->PanelTexts()[0].second, QStringLiteral("0003"));
}

TEST_F(HexDumpTest, ZeroLengthShowsAnEmptyDump) {
  Load({});
  EXPECT_EQ(dump->CellCount(), 0);
  EXPECT_FALSE(dump->ScrollBarShown());
  EXPECT_EQ(dump->PanelTexts()[0], qMakePair(QStringLiteral("Addr:"), QStringLiteral("0000")));
  EXPECT_TRUE(dump->VisibleRowsText().isEmpty());
  Key(Qt::Key_Down);
  EXPECT_EQ(dump->Cursor(), 0);
  QPixmap picture;
  dump->Render(picture);  // draws without rows
}

TEST_F(HexDumpTest, WidthChangesCellsPerRow) {
  Load(Counting(5000));
  const int narrow = dump->CellsPerRow();
  dump->resize(1600, 300);
  EXPECT_GT(dump->CellsPerRow(), narrow);
  EXPECT_NE(dump->CellsPerRow(), 16);
  EXPECT_EQ(dump->VisibleRowsText().first().count(QLatin1Char(' ')) >= dump->CellsPerRow(), true);
}

TEST_F(HexDumpTest, KeyboardEdgeRules) {
  dump->resize(400, 200);
  Load(Counting(1000));
  const int cpr = dump->CellsPerRow();
  const int64_t cpp = dump->CellsPerPage();
  ASSERT_GT(cpr, 1);
  ASSERT_NE(1000 % cpr, 0);
  // Left on cell 0 and Up in the first row leave the cursor.
  Key(Qt::Key_Left);
  EXPECT_EQ(dump->Cursor(), 0);
  Key(Qt::Key_Right);
  Key(Qt::Key_Up);
  EXPECT_EQ(dump->Cursor(), 1);
  EXPECT_EQ(dump->FirstVisible(), 0);
  // Page Up near the top: the same column of the first row.
  dump->SetCursor(cpr + 3);
  Key(Qt::Key_PageUp);
  EXPECT_EQ(dump->Cursor(), 3);
  // Down on the second-to-last row, right of the short last row's end:
  // the last cell scrolls into view and the cursor stays.
  const int64_t lastRowStart = 999 - 999 % cpr;
  const int64_t cursor = lastRowStart - 1;  // end of the second-to-last row
  ASSERT_GT(cursor + cpr, 999);
  dump->SetCursor(0);
  dump->SetCursor(cursor - cpp);  // the second-to-last row just out of view below
  dump->SetCursor(cursor);
  const int64_t firstBefore = dump->FirstVisible();
  Key(Qt::Key_Down);
  EXPECT_EQ(dump->Cursor(), cursor);
  EXPECT_EQ(dump->FirstVisible(), ScrollToShow(999, firstBefore, dump->CurrentLayout(), 1000));
  EXPECT_GE(dump->FirstVisible() + cpp, lastRowStart + 1);
  // Home, End, Ctrl+End, Ctrl+Home, Page Down past the end.
  dump->SetCursor(cpr + 5);
  Key(Qt::Key_Home);
  EXPECT_EQ(dump->Cursor(), cpr);
  Key(Qt::Key_End);
  EXPECT_EQ(dump->Cursor(), 2 * cpr - 1);
  Key(Qt::Key_End, Qt::ControlModifier);
  EXPECT_EQ(dump->Cursor(), 999);
  Key(Qt::Key_End);
  EXPECT_EQ(dump->Cursor(), 999);  // End stops at the last cell
  Key(Qt::Key_Home, Qt::ControlModifier);
  EXPECT_EQ(dump->Cursor(), 0);
  EXPECT_EQ(dump->FirstVisible(), 0);
  Key(Qt::Key_PageDown);
  EXPECT_EQ(dump->Cursor(), cpp);
  // Enter opens no value editor in read-only mode.
  dump->SetDumpReadOnly();
  Key(Qt::Key_Return);
  EXPECT_EQ(dump->Editor(), nullptr);
}

TEST_F(HexDumpTest, WheelScrollsOneRowPerStep) {
  Load(Counting(20000));
  const int cpr = dump->CellsPerRow();
  QWheelEvent down(QPointF(50, 50), dump->mapToGlobal(QPointF(50, 50)), {}, QPoint(0, -120), Qt::NoButton,
                   Qt::NoModifier, Qt::NoScrollPhase, false);
  QCoreApplication::sendEvent(dump.get(), &down);
  QCoreApplication::sendEvent(dump.get(), &down);
  EXPECT_EQ(dump->FirstVisible(), 2 * cpr);
  EXPECT_TRUE(dump->ScrollBarShown());
  EXPECT_EQ(dump->VerticalBar()->value(), 2);
  QWheelEvent up(QPointF(50, 50), dump->mapToGlobal(QPointF(50, 50)), {}, QPoint(0, 120), Qt::NoButton,
                 Qt::NoModifier, Qt::NoScrollPhase, false);
  for (int i = 0; i < 5; ++i) QCoreApplication::sendEvent(dump.get(), &up);
  EXPECT_EQ(dump->FirstVisible(), 0);
}

TEST_F(HexDumpTest, AddressEditorColoursEnterAndEsc) {
  Load(Counting(100));
  dump->SetDumpReadOnly();
  QTest::mouseDClick(dump.get(), Qt::LeftButton, {}, CellCentre(kAddr, 0));
  CHexNumEdit* editor = dump->Editor();
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(editor->text(), QStringLiteral("00"));  // 99 = 0x63: two digits
  EXPECT_EQ(editor->selectedText(), editor->text());
  EXPECT_EQ(editor->BackgroundColor(), QColor(255, 255, 0));
  EXPECT_EQ(editor->TextColor(), QColor(Qt::black));
  // Beyond the data: white on red, and Enter leaves it open.
  editor->clear();
  QTest::keyClicks(editor, "7g0");  // g is refused
  EXPECT_EQ(editor->text(), QStringLiteral("70"));
  EXPECT_EQ(editor->BackgroundColor(), QColor(255, 0, 0));
  EXPECT_EQ(editor->TextColor(), QColor(Qt::white));
  QTest::keyClick(editor, Qt::Key_Return);
  EXPECT_EQ(dump->Editor(), editor);
  QTest::keyClick(editor, Qt::Key_Escape);
  EXPECT_EQ(dump->Editor(), nullptr);
  EXPECT_EQ(dump->Cursor(), 0);
  // A typed address inside the data moves the cursor there; a to f turn upper case.
  QTest::mouseDClick(dump.get(), Qt::LeftButton, {}, CellCentre(kAddr, 0));
  editor = dump->Editor();
  ASSERT_NE(editor, nullptr);
  editor->clear();
  QTest::keyClicks(editor, "5a");
  EXPECT_EQ(editor->text(), QStringLiteral("5A"));
  QTest::keyClick(editor, Qt::Key_Return);
  EXPECT_EQ(dump->Editor(), nullptr);
  EXPECT_EQ(dump->Cursor(), 0x5A);
}

TEST_F(HexDumpTest, ValueEditorWritesOnlyWhenNotReadOnly) {
  std::vector<uint8_t> reference = Counting(64);
  Load(reference);
  dump->SetDumpData(int64_t(data.size()), data.data(), reference.data());
  dump->SetCursor(5);
  Key(Qt::Key_Return);
  CHexNumEdit* editor = dump->Editor();
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(editor->Repr(), kHex);
  editor->clear();
  QTest::keyClicks(editor, "ab");
  QTest::keyClick(editor, Qt::Key_Return);
  EXPECT_EQ(data[5], 0xAB);
  EXPECT_EQ(reference[5], uint8_t(5 * 7 + 1));
  // Read-only: the value editor closes and nothing opens again.
  Key(Qt::Key_Return);
  ASSERT_NE(dump->Editor(), nullptr);
  dump->SetDumpReadOnly();
  EXPECT_EQ(dump->Editor(), nullptr);
  QTest::mouseDClick(dump.get(), Qt::LeftButton, {}, CellCentre(kHex, 7));
  EXPECT_EQ(dump->Editor(), nullptr);
  EXPECT_EQ(dump->Cursor(), 7);
}

TEST_F(HexDumpTest, TooltipOverValueAndCharacterCellsOnly) {
  std::vector<uint8_t> bytes(1048576, 0);
  bytes[0x123] = 0x3F;
  bytes[0x124] = 0x41;
  dump->resize(1200, 400);
  Load(std::move(bytes));
  dump->SetTooltipFormat(QString::fromLatin1(kDumpTooltipFormat), true);
  dump->SetCursor(0x123);
  QTest::mouseMove(dump.get(), CellCentre(kHex, 0x123));
  EXPECT_EQ(dump->TooltipText(), QStringLiteral("Address : 000123H Hex : 3F41"));
  EXPECT_EQ(dump->HotCell(), 0x123);
  QTest::mouseMove(dump.get(), CellCentre(kAscii, 0x124));
  EXPECT_EQ(dump->TooltipText(), QStringLiteral("Address : 000124H Hex : 4100"));
  QTest::mouseMove(dump.get(), CellCentre(kAddr, 0x123));
  EXPECT_TRUE(dump->TooltipText().isEmpty());
  EXPECT_FALSE(dump->TooltipActive());
}

TEST_F(HexDumpTest, ScreenReadersReadTheVisibleRows) {
  std::vector<uint8_t> bytes = {'H', 'e', 'l', 'l', 'o', 0x00, 0xFF};
  Load(bytes);
  QAccessibleInterface* a11y = QAccessible::queryAccessibleInterface(dump.get());
  ASSERT_NE(a11y, nullptr);
  const QString text = a11y->text(QAccessible::Value);
  EXPECT_TRUE(text.startsWith(QStringLiteral("0000: 48 65 6C 6C 6F 00 FF  Hello."))) << text.toStdString();
  EXPECT_EQ(a11y->text(QAccessible::Name), QStringLiteral("Hex dump"));
}

TEST(HexDumpPane, ShowHexDumpCutsAtOneMebibyte) {
  ResetRecorders();
  testing_support::TempDir dir;
  const auto path = dir.Path() / "big.bin";
  {
    std::ofstream out(path, std::ios::binary);
    std::vector<char> block(1 << 20, 'x');
    for (int i = 0; i < 3; ++i) out.write(block.data(), std::streamsize(block.size()));
  }
  CTarvelStaticFileViewer pane;
  pane.resize(900, 300);
  ASSERT_TRUE(pane.ShowHexDump(path));
  CHexDumpCtrl* dump = pane.HexDump();
  ASSERT_NE(dump, nullptr);
  EXPECT_EQ(pane.DumpBuffer().size(), 1048576u);
  EXPECT_EQ(dump->CellCount(), 1048576);
  EXPECT_EQ(dump->AddressWidth(), 5);
  EXPECT_TRUE(dump->Style() & DUMP_READONLY);
  EXPECT_EQ(dump->Style() & ~DUMP_READONLY, kDefaultStyle);
  EXPECT_EQ(dump->geometry(), pane.rect());
  EXPECT_EQ(dump->property("controlId").toInt(), 317);
  // The last row shows address FFFFx.
  dump->setFocus();
  QTest::keyClick(dump, Qt::Key_End, Qt::ControlModifier);
  EXPECT_EQ(dump->Cursor(), 0xFFFFF);
  EXPECT_EQ(dump->PanelTexts()[0].second, QStringLiteral("FFFFF"));
  // Address widths of 65,536 and 70,000 bytes.
  for (const auto& [size, width] : {std::pair{65536, 4}, std::pair{70000, 5}}) {
    std::filesystem::resize_file(path, size);
    ASSERT_TRUE(pane.ShowHexDump(path));
    EXPECT_EQ(pane.HexDump()->AddressWidth(), width) << size;
  }
  // A file that cannot be opened leaves the pane empty.
  EXPECT_FALSE(pane.ShowHexDump(dir.Path() / "missing.bin"));
  EXPECT_EQ(pane.ChildView(), nullptr);
  // A folder or a FIFO is no file to dump (and never waited on).
  EXPECT_FALSE(pane.ShowHexDump(dir.Path()));
  ASSERT_EQ(::mkfifo((dir.Path() / "fifo").c_str(), 0600), 0);
  EXPECT_FALSE(pane.ShowHexDump(dir.Path() / "fifo"));
}

}  // namespace
