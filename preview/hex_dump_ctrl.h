#pragma once
// The dump control: bytes or 16-bit words shown in up to six representations
// (address, hex, decimal, binary, octal, character), a value panel for the
// cell under the mouse or the cursor, an optional header row, hot tracking,
// keyboard and wheel navigation, in-place editors (only the address editor
// when read-only) and a tooltip built from a small format language:
//
//   %[+|-][0-4]L   + big-endian, - little-endian, digit: bytes to read;
//                  L is R (address), H (hex), D (signed decimal), O (octal),
//                  B (binary), A (character), n (line break), t (blanks to
//                  the next multiple of 4); any other letter is copied.
//
// Everything is drawn through one off-screen picture; only the visible rows
// are formatted. The visible rows are also offered as text to screen readers.

#include <QFont>
#include <QPixmap>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <cstdint>

#include "hex_dump_layout.h"

class CHexNumEdit;
class QScrollBar;

inline constexpr char kDumpCtrlClassName[] = "QuillonDumpCtrl";

class CHexDumpCtrl : public QWidget {
  Q_OBJECT
 public:
  explicit CHexDumpCtrl(QWidget* parent = nullptr);
  ~CHexDumpCtrl() override;

  // The bytes shown: current values and the values before any edit (the same
  // buffer when reference is none). The control does not own them.
  void SetDumpData(int64_t length, uint8_t* bytes, const uint8_t* reference = nullptr);
  void ModifyDumpStyle(uint32_t remove, uint32_t add, bool redraw = true);
  void SetDumpReadOnly();
  void SetTooltipFormat(const QString& format, bool activate);
  void SetBaseAddress(uint64_t base);

  uint32_t Style() const { return m_style; }
  int64_t Length() const { return m_nLength; }
  int64_t CellCount() const { return m_nCells; }
  int64_t Cursor() const { return m_nCursor; }
  int64_t FirstVisible() const { return m_nFirst; }
  int AddressWidth() const { return m_nAddressWidth; }
  int CellsPerRow() const { return m_layout.cellsPerRow; }
  int64_t CellsPerPage() const { return m_layout.cellsPerPage; }
  const hexdump::Layout& CurrentLayout() const { return m_layout; }
  const hexdump::Metrics& FontMetrics() const { return m_metrics; }
  int64_t HotCell() const { return m_nHotCell; }
  // The tooltip text prepared for the hovered cell (empty when none) and
  // whether it is active.
  const QString& TooltipText() const { return m_strTooltip; }
  bool TooltipActive() const { return m_bTooltipActive; }
  // The value panel as shown: "Label:" and value per item.
  QList<QPair<QString, QString>> PanelTexts() const;
  // The rows now visible as text, one line per row.
  QStringList VisibleRowsText() const;
  // The open editor, if any.
  CHexNumEdit* Editor() const { return m_editor; }
  bool ScrollBarShown() const;
  QScrollBar* VerticalBar() const { return m_scrollBar; }

  // Moves the cursor (cell index) and scrolls it into view.
  void SetCursor(int64_t cell);
  // Scrolls so that the row `row` is the first visible one (clamped).
  void ScrollToRow(int64_t row);
  // Draws the control into a picture of its size (what the screen shows).
  void Render(QPixmap& target);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  bool event(QEvent* event) override;

 private:
  void Recompute();
  void UpdateScrollBar();
  void OnScrollBar(int row);
  void SetFirstVisible(int64_t first);
  void ApplyPosition(const hexdump::Position& position);
  void UpdateHover(const QPoint& pos, bool moved);
  void HideTooltip();
  void Paint(QPainter& painter);
  void PaintPanel(QPainter& painter, int64_t cell);
  void PaintHeader(QPainter& painter);
  void PaintColumns(QPainter& painter);
  QString CellString(int repr, int64_t cell) const;
  QString PanelValue(int repr, int64_t cell) const;
  uint64_t ValueAt(int64_t cell) const;
  uint64_t ReferenceAt(int64_t cell) const;
  bool Selected(int64_t cell) const { return cell >= m_nSelFirst && cell <= m_nSelLast; }
  int FirstValueRepr() const;
  // Editors.
  void OpenAddressEditor(const QRect& where, int64_t rowCell);
  void OpenValueEditor(int64_t cell);
  void CloseEditor();
  void WriteCell(int64_t cell, uint64_t value);

  uint32_t m_style = hexdump::kDefaultStyle;
  uint8_t* m_pData = nullptr;
  const uint8_t* m_pRef = nullptr;
  int64_t m_nLength = 0;
  int64_t m_nCells = 0;
  uint64_t m_nBase = 0;
  int64_t m_nFirst = 0;
  int64_t m_nCursor = 0;
  int64_t m_nSelFirst = 0, m_nSelLast = 0, m_nAnchor = 0;
  int64_t m_nHotCell = -1;
  int m_nHotArea = hexdump::kNoArea;
  QRect m_hotRect;
  int m_nEditRepr = 0;
  CHexNumEdit* m_editor = nullptr;
  bool m_bEditorOnGrid = false;
  int64_t m_nEditCell = -1;
  QString m_strTooltipFormat;
  QString m_strTooltip;
  bool m_bTooltipActive = false;
  bool m_bFocus = false;
  bool m_bDragging = false;
  int m_nAddressWidth = 4;
  QFont m_font;
  hexdump::Metrics m_metrics;
  hexdump::Layout m_layout;
  QScrollBar* m_scrollBar = nullptr;
  QPixmap m_buffer;
};
