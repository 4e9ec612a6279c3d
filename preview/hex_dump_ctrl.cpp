#include "hex_dump_ctrl.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QGlyphRun>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QRawFont>
#include <QScrollBar>
#include <QStyle>
#include <QToolTip>
#include <algorithm>

#include "hex_num_edit.h"

using namespace hexdump;

namespace {
const QColor kChangedColor(255, 0, 0);
const QColor kAddressColor(0, 176, 0);
const QColor kSelectedBackground(0, 255, 255);

QRect ToQRect(const Rect& r) { return QRect(r.left, r.top, r.Width(), r.Height()); }

// Offers the visible rows of a dump to screen readers.
class HexDumpAccessible : public QAccessibleWidget {
 public:
  explicit HexDumpAccessible(CHexDumpCtrl* ctrl) : QAccessibleWidget(ctrl, QAccessible::StaticText) {}
  QString text(QAccessible::Text t) const override {
    const auto* ctrl = static_cast<const CHexDumpCtrl*>(widget());
    if (t == QAccessible::Value || t == QAccessible::Description)
      return ctrl->VisibleRowsText().join(QLatin1Char('\n'));
    return QAccessibleWidget::text(t);
  }
};

QAccessibleInterface* DumpAccessibleFactory(const QString& className, QObject* object) {
  if (className == QLatin1String("CHexDumpCtrl") && object && object->isWidgetType())
    return new HexDumpAccessible(static_cast<CHexDumpCtrl*>(object));
  return nullptr;
}
}  // namespace

CHexDumpCtrl::CHexDumpCtrl(QWidget* parent) : QWidget(parent) {
  static const bool factoryInstalled = [] {
    QAccessible::installFactory(DumpAccessibleFactory);
    return true;
  }();
  (void)factoryInstalled;
  setObjectName(QLatin1String(kDumpCtrlClassName));
  setAccessibleName(QStringLiteral("Hex dump"));
  setFocusPolicy(Qt::StrongFocus);
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
  // "Courier", regular, 8 points; a fixed-pitch face where Courier is missing.
  m_font = QFont(QStringLiteral("Courier"));
  m_font.setStyleHint(QFont::TypeWriter);
  m_font.setFixedPitch(true);
  m_font.setPointSize(8);
  const QFontMetrics fm(m_font);
  m_metrics.charWidth = std::max(1, fm.horizontalAdvance(QLatin1Char('0')));
  m_metrics.rowHeight = std::max(1, int(fm.height() * 1.2));
  m_metrics.scrollBarWidth = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
  m_scrollBar = new QScrollBar(Qt::Vertical, this);
  m_scrollBar->setAccessibleName(QStringLiteral("Dump scroll bar"));
  m_scrollBar->hide();
  connect(m_scrollBar, &QScrollBar::valueChanged, this, &CHexDumpCtrl::OnScrollBar);
  m_nEditRepr = FirstValueRepr();
  Recompute();
}

CHexDumpCtrl::~CHexDumpCtrl() = default;

void CHexDumpCtrl::SetDumpData(int64_t length, uint8_t* bytes, const uint8_t* reference) {
  CloseEditor();
  m_pData = bytes;
  m_pRef = reference ? reference : bytes;
  m_nLength = bytes ? std::max<int64_t>(0, length) : 0;
  m_nFirst = 0;
  m_nCursor = m_nSelFirst = m_nSelLast = m_nAnchor = 0;
  m_nHotCell = -1;
  Recompute();
  update();
}

void CHexDumpCtrl::ModifyDumpStyle(uint32_t remove, uint32_t add, bool redraw) {
  const uint32_t old = m_style;
  m_style = (m_style & ~remove) | add;
  if ((old ^ m_style) & DUMP_WORDS) {
    m_nFirst = 0;
    m_nCursor = m_nSelFirst = m_nSelLast = m_nAnchor = 0;
  }
  if (!(m_style & PanelBit(m_nEditRepr))) m_nEditRepr = FirstValueRepr();
  Recompute();
  if (redraw) update();
}

void CHexDumpCtrl::SetDumpReadOnly() {
  if (m_editor && m_editor->Repr() != kAddr) CloseEditor();
  m_style |= DUMP_READONLY;
  update();
}

void CHexDumpCtrl::SetTooltipFormat(const QString& format, bool activate) {
  m_strTooltipFormat = format;
  m_bTooltipActive = !format.isEmpty() && activate;
}

void CHexDumpCtrl::SetBaseAddress(uint64_t base) {
  m_nBase = base;
  Recompute();
  update();
}

int CHexDumpCtrl::FirstValueRepr() const {
  for (int repr = kHex; repr <= kAscii; ++repr)
    if (m_style & ShowBit(repr)) return repr;
  return kHex;
}

void CHexDumpCtrl::Recompute() {
  m_nCells = (m_style & DUMP_WORDS) ? m_nLength / 2 : m_nLength;
  m_nAddressWidth = hexdump::AddressWidth(m_nBase, uint64_t(m_nCells));
  m_layout = ComputeLayout(m_style, width(), height(), m_nAddressWidth, m_metrics);
  if (m_layout.cellsPerRow > 0) m_nFirst -= m_nFirst % m_layout.cellsPerRow;
  const int64_t maxRow = ScrollMax(m_nCells, m_layout.cellsPerPage, m_layout.cellsPerRow);
  if (m_layout.cellsPerRow > 0 && m_nFirst / m_layout.cellsPerRow > maxRow) m_nFirst = maxRow * m_layout.cellsPerRow;
  if (m_layout.cellsPerRow <= 0) m_nFirst = 0;
  UpdateScrollBar();
}

void CHexDumpCtrl::UpdateScrollBar() {
  const int64_t max = ScrollMax(m_nCells, m_layout.cellsPerPage, m_layout.cellsPerRow);
  const QSignalBlocker block(m_scrollBar);
  m_scrollBar->setGeometry(width() - m_metrics.scrollBarWidth, 0, m_metrics.scrollBarWidth, height());
  m_scrollBar->setRange(0, int(std::min<int64_t>(max, INT32_MAX)));
  m_scrollBar->setPageStep(std::max(1, m_layout.rowsPerPage));
  m_scrollBar->setSingleStep(1);
  m_scrollBar->setValue(m_layout.cellsPerRow > 0 ? int(m_nFirst / m_layout.cellsPerRow) : 0);
  m_scrollBar->setVisible(max > 0);
}

bool CHexDumpCtrl::ScrollBarShown() const { return m_scrollBar->isVisibleTo(this); }

void CHexDumpCtrl::OnScrollBar(int row) {
  HideTooltip();
  if (m_editor && m_bEditorOnGrid) CloseEditor();
  SetFirstVisible(int64_t(row) * m_layout.cellsPerRow);
}

void CHexDumpCtrl::SetFirstVisible(int64_t first) {
  if (first == m_nFirst) return;
  m_nFirst = first;
  UpdateScrollBar();
  // The cell under the mouse is another one now.
  if (underMouse()) UpdateHover(mapFromGlobal(QCursor::pos()), false);
  update();
}

void CHexDumpCtrl::ScrollToRow(int64_t row) {
  const int cpr = m_layout.cellsPerRow;
  if (cpr <= 0) return;
  row = std::clamp<int64_t>(row, 0, ScrollMax(m_nCells, m_layout.cellsPerPage, cpr));
  if (m_editor && m_bEditorOnGrid && row * cpr != m_nFirst) CloseEditor();
  SetFirstVisible(row * cpr);
}

void CHexDumpCtrl::SetCursor(int64_t cell) {
  if (m_nCells <= 0) return;
  m_nCursor = m_nSelFirst = m_nSelLast = m_nAnchor = std::clamp<int64_t>(cell, 0, m_nCells - 1);
  SetFirstVisible(ScrollToShow(m_nCursor, m_nFirst, m_layout, m_nCells));
  update();
}

void CHexDumpCtrl::ApplyPosition(const Position& position) {
  m_nCursor = m_nSelFirst = m_nSelLast = m_nAnchor = position.cursor;
  if (position.firstVisible != m_nFirst && m_editor && m_bEditorOnGrid) CloseEditor();
  SetFirstVisible(position.firstVisible);
  update();
}

uint64_t CHexDumpCtrl::ValueAt(int64_t cell) const {
  return CellValue({m_pData, size_t(m_nLength)}, cell, m_style);
}

uint64_t CHexDumpCtrl::ReferenceAt(int64_t cell) const {
  return CellValue({m_pRef, size_t(m_nLength)}, cell, m_style);
}

QString CHexDumpCtrl::CellString(int repr, int64_t cell) const {
  const uint64_t value = repr == kAddr ? m_nBase + uint64_t(cell) : ValueAt(cell);
  return QString::fromLatin1(CellText(repr, value, m_style & DUMP_WORDS, m_nAddressWidth));
}

QString CHexDumpCtrl::PanelValue(int repr, int64_t cell) const {
  if (cell < 0 || cell >= std::max<int64_t>(m_nCells, 1)) return {};
  if (m_nCells == 0 && repr != kAddr) return {};
  return CellString(repr, cell).trimmed();
}

QList<QPair<QString, QString>> CHexDumpCtrl::PanelTexts() const {
  QList<QPair<QString, QString>> items;
  const int64_t cell = m_nHotCell >= 0 && m_nHotArea > kGridArea ? m_nHotCell : m_nCursor;
  for (const PanelItem& item : m_layout.panel)
    items.append({QString::fromLatin1(ReprName(item.repr)) + QLatin1Char(':'), PanelValue(item.repr, cell)});
  return items;
}

QStringList CHexDumpCtrl::VisibleRowsText() const {
  QStringList rows;
  const int cpr = m_layout.cellsPerRow;
  if (cpr <= 0) return rows;
  for (int row = 0; row < m_layout.rowsPerPage; ++row) {
    const int64_t first = m_nFirst + int64_t(row) * cpr;
    if (first >= m_nCells) break;
    const int64_t end = std::min<int64_t>(first + cpr, m_nCells);
    QString line;
    for (const Column& column : m_layout.columns) {
      if (column.repr == kAddr) {
        line += CellString(kAddr, first).trimmed() + QLatin1Char(':');
        continue;
      }
      QString part;
      for (int64_t c = first; c < end; ++c) {
        if (column.repr == kAscii) {
          const QChar ch(char16_t(ValueAt(c) & 0xFF));
          part += ch.isPrint() ? ch : QLatin1Char('.');
        } else {
          part += QLatin1Char(' ') + CellString(column.repr, c).trimmed();
        }
      }
      line += (column.repr == kAscii ? QStringLiteral("  ") : QString()) + part;
    }
    rows << line;
  }
  return rows;
}

// Painting.

void CHexDumpCtrl::Render(QPixmap& target) {
  target = QPixmap(size());
  QPainter painter(&target);
  Paint(painter);
}

void CHexDumpCtrl::paintEvent(QPaintEvent*) {
  const qreal dpr = devicePixelRatioF();
  if (m_buffer.size() != size() * dpr) {
    m_buffer = QPixmap(size() * dpr);
    m_buffer.setDevicePixelRatio(dpr);
  }
  {
    QPainter offscreen(&m_buffer);
    Paint(offscreen);
  }
  QPainter painter(this);
  painter.drawPixmap(0, 0, m_buffer);
}

void CHexDumpCtrl::Paint(QPainter& painter) {
  const QPalette& pal = palette();
  const bool enabled = isEnabled();
  painter.fillRect(rect(), enabled ? pal.color(QPalette::Base) : pal.color(QPalette::Button));
  painter.setFont(m_font);
  if (!m_layout.panel.empty() || (m_style & kPanelMask)) {
    const int64_t cell = m_nHotCell >= 0 && m_nHotArea > kGridArea ? m_nHotCell : m_nCursor;
    PaintPanel(painter, cell);
  }
  if (m_style & DUMP_HEADER) PaintHeader(painter);
  PaintColumns(painter);
  if ((m_style & DUMP_HOT_TRACK) && !m_hotRect.isNull()) {
    painter.setPen(pal.color(QPalette::Dark));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(m_hotRect.adjusted(0, 0, -1, -1));
  }
  if (m_bFocus) {
    QPen pen(pal.color(QPalette::Text), 1, Qt::DotLine);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
  }
}

void CHexDumpCtrl::PaintPanel(QPainter& painter, int64_t cell) {
  const QPalette& pal = palette();
  const QRect panel(0, 0, width() - m_metrics.scrollBarWidth, m_layout.panelBottom);
  painter.fillRect(panel, pal.color(QPalette::Button));
  painter.setPen(pal.color(QPalette::Light));
  painter.drawLine(panel.topLeft(), panel.topRight());
  painter.drawLine(panel.topLeft(), panel.bottomLeft());
  painter.setPen(pal.color(QPalette::Dark));
  painter.drawLine(panel.bottomLeft(), panel.bottomRight());
  painter.drawLine(panel.topRight(), panel.bottomRight());
  const int cw = m_metrics.charWidth;
  for (const PanelItem& item : m_layout.panel) {
    const QString label = QString::fromLatin1(ReprName(item.repr)) + QLatin1Char(':');
    const QRect r = ToQRect(item.rect);
    painter.setPen(isEnabled() ? pal.color(QPalette::ButtonText) : pal.color(QPalette::Dark));
    painter.drawText(QRect(r.left(), r.top(), item.valueLeft - r.left() - cw / 2, r.height()),
                     Qt::AlignRight | Qt::AlignVCenter, label);
    const QRect value(item.valueLeft, r.top(), item.valueChars * cw + cw, r.height());
    painter.fillRect(value, pal.color(QPalette::Base));
    painter.setPen(item.repr == kAddr ? kAddressColor : pal.color(QPalette::Text));
    painter.drawText(value.adjusted(cw / 2, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, PanelValue(item.repr, cell));
  }
}

void CHexDumpCtrl::PaintHeader(QPainter& painter) {
  const QColor shadow = palette().color(QPalette::Dark);
  painter.setPen(shadow);
  for (const Column& column : m_layout.columns)
    painter.drawText(QRect(column.left, m_layout.headerTop, column.width, m_metrics.rowHeight), Qt::AlignCenter,
                     QString::fromLatin1(ReprName(column.repr)));
  painter.drawLine(0, m_layout.headerBottom - 1, m_layout.grid.right, m_layout.headerBottom - 1);
}

void CHexDumpCtrl::PaintColumns(QPainter& painter) {
  const QPalette& pal = palette();
  const QColor text = isEnabled() ? pal.color(QPalette::Text) : pal.color(QPalette::Dark);
  const QColor shadow = pal.color(QPalette::Dark);
  const int cpr = m_layout.cellsPerRow;
  const int cw = m_metrics.charWidth;
  const int ascent = QFontMetrics(m_font).ascent();
  const int rowHeight = m_metrics.rowHeight;
  const int baselineOffset = (rowHeight - QFontMetrics(m_font).height()) / 2 + ascent;
  if (cpr > 0) {
    QRawFont raw = QRawFont::fromFont(m_font);
    QString rowText;
    for (int row = 0; row < m_layout.rowsPerPage; ++row) {
      const int64_t first = m_nFirst + int64_t(row) * cpr;
      if (first >= m_nCells) break;
      const int64_t end = std::min<int64_t>(first + cpr, m_nCells);
      const int top = m_layout.RowTop(row);
      const int baseline = top + baselineOffset;
      for (const Column& column : m_layout.columns) {
        if (column.repr == kAddr) {
          painter.setPen(isEnabled() ? kAddressColor : shadow);
          painter.drawText(QPoint(column.left, baseline), CellString(kAddr, first));
          continue;
        }
        // Selection backgrounds first, then the row's text in one go.
        for (int64_t c = std::max(first, m_nSelFirst); c <= std::min(end - 1, m_nSelLast); ++c)
          painter.fillRect(ToQRect(m_layout.CellRect(column, row, int(c - first))).adjusted(0, 0, 0, 0),
                           kSelectedBackground);
        if (column.repr == kAscii) {
          QString chars;
          QList<QPointF> positions;
          for (int64_t c = first; c < end; ++c) {
            const uint8_t byte = uint8_t(ValueAt(c) & 0xFF);
            if (!byte) continue;
            chars += QChar(char16_t(byte));
            positions << QPointF(column.left + cw / 2 + int(c - first) * (cw + 1), baseline);
          }
          if (!chars.isEmpty() && raw.isValid()) {
            QList<quint32> glyphs = raw.glyphIndexesForString(chars);
            QGlyphRun run;
            run.setRawFont(raw);
            run.setGlyphIndexes(glyphs);
            run.setPositions(positions);
            painter.setPen(text);
            painter.drawGlyphRun(QPointF(0, 0), run);
          }
        } else {
          rowText.clear();
          for (int64_t c = first; c < end; ++c) rowText += CellString(column.repr, c).mid(1);
          painter.setPen(text);
          painter.drawText(QPoint(column.left + cw / 2, baseline), rowText);
        }
        // Changed values again in red.
        if (m_pRef != m_pData) {
          painter.setPen(kChangedColor);
          for (int64_t c = first; c < end; ++c) {
            if (ValueAt(c) == ReferenceAt(c)) continue;
            const QRect r = ToQRect(m_layout.CellRect(column, row, int(c - first)));
            painter.fillRect(r, Selected(c) ? kSelectedBackground : pal.color(QPalette::Base));
            painter.drawText(QPoint(r.left(), baseline), CellString(column.repr, c).mid(1).left(column.cellChars));
          }
        }
      }
    }
  }
  if (m_style & DUMP_COLUMN_LINES) {
    painter.setPen(shadow);
    for (const Column& column : m_layout.columns) {
      const int x = column.left + column.width - 1;
      painter.drawLine(x, m_layout.grid.top, x, m_layout.grid.bottom);
    }
  }
}

// Input.

void CHexDumpCtrl::resizeEvent(QResizeEvent*) {
  CloseEditor();
  Recompute();
  update();
}

void CHexDumpCtrl::HideTooltip() {
  QToolTip::hideText();
}

void CHexDumpCtrl::UpdateHover(const QPoint& pos, bool moved) {
  const Hit hit = HitTest(m_layout, pos.x(), pos.y(), m_nFirst, m_nCells);
  QRect rect;
  if (hit.cell >= 0 && hit.area > kGridArea) {
    const Column* column = m_layout.ColumnOf(hit.area - kGridArea);
    const int row = int((hit.cell - m_nFirst) / std::max(1, m_layout.cellsPerRow));
    const int offset = int((hit.cell - m_nFirst) % std::max(1, m_layout.cellsPerRow));
    if (column) rect = ToQRect(m_layout.CellRect(*column, row, column->repr == kAddr ? 0 : offset));
  }
  const bool changed = hit.cell != m_nHotCell || hit.area != m_nHotArea;
  m_nHotCell = hit.cell;
  m_nHotArea = hit.area;
  if (rect != m_hotRect || changed) {
    m_hotRect = rect;
    update();
  }
  // Value and character cells have a tooltip; it is shown once the mouse
  // moves on within the same cell.
  if (hit.cell >= 0 && hit.area > kGridArea + kAddr && !m_strTooltipFormat.isEmpty()) {
    if (changed) {
      HideTooltip();
      m_strTooltip = QString::fromLatin1(FormatTooltip(m_strTooltipFormat.toLatin1().toStdString(),
                                                       {m_pData, size_t(m_nLength)}, hit.cell, m_style, m_nBase,
                                                       m_nAddressWidth));
      m_bTooltipActive = true;
    } else if (moved && m_bTooltipActive && !m_strTooltip.isEmpty()) {
      QToolTip::showText(mapToGlobal(pos), m_strTooltip, this, rect);
    }
  } else {
    m_strTooltip.clear();
    m_bTooltipActive = false;
    HideTooltip();
  }
}

void CHexDumpCtrl::mouseMoveEvent(QMouseEvent* event) {
  UpdateHover(event->position().toPoint(), true);
  if (m_bDragging && (event->buttons() & Qt::LeftButton) && (m_style & DUMP_DRAG_SELECT) && m_nHotCell >= 0 &&
      m_nHotArea > kGridArea + kAddr) {
    m_nSelFirst = std::min(m_nAnchor, m_nHotCell);
    m_nSelLast = std::max(m_nAnchor, m_nHotCell);
    m_nCursor = m_nHotCell;
    update();
  }
}

void CHexDumpCtrl::leaveEvent(QEvent*) {
  m_nHotCell = -1;
  m_nHotArea = kNoArea;
  m_hotRect = QRect();
  m_strTooltip.clear();
  update();
}

void CHexDumpCtrl::mousePressEvent(QMouseEvent* event) {
  HideTooltip();
  setFocus(Qt::MouseFocusReason);
  if (event->button() != Qt::LeftButton) return;
  const QPoint pos = event->position().toPoint();
  const Hit hit = HitTest(m_layout, pos.x(), pos.y(), m_nFirst, m_nCells);
  if (hit.cell >= 0 && hit.area > kGridArea + kAddr) {
    CloseEditor();
    m_nCursor = m_nSelFirst = m_nSelLast = m_nAnchor = hit.cell;
    m_bDragging = true;
    SetFirstVisible(ScrollToShow(hit.cell, m_nFirst, m_layout, m_nCells));
    update();
  }
}

void CHexDumpCtrl::mouseDoubleClickEvent(QMouseEvent* event) {
  const QPoint pos = event->position().toPoint();
  const Hit hit = HitTest(m_layout, pos.x(), pos.y(), m_nFirst, m_nCells);
  if (hit.area == kGridArea + kAddr && hit.cell >= 0) {
    const Column* column = m_layout.ColumnOf(kAddr);
    const int row = int((hit.cell - m_nFirst) / std::max(1, m_layout.cellsPerRow));
    OpenAddressEditor(ToQRect(m_layout.CellRect(*column, row, 0)), hit.cell);
  } else if (hit.area == kAddr && (m_style & DUMP_PANEL_ADDR)) {
    for (const PanelItem& item : m_layout.panel)
      if (item.repr == kAddr)
        OpenAddressEditor(QRect(item.valueLeft, item.rect.top, (item.valueChars + 1) * m_metrics.charWidth,
                                item.rect.Height()),
                          m_layout.cellsPerRow > 0 ? m_nCursor - m_nCursor % m_layout.cellsPerRow : m_nCursor);
  } else if (hit.cell >= 0 && hit.area > kGridArea + kAddr) {
    SetCursor(hit.cell);
    if (!(m_style & DUMP_READONLY)) {
      m_nEditRepr = hit.area - kGridArea;
      OpenValueEditor(hit.cell);
    }
  }
}

void CHexDumpCtrl::wheelEvent(QWheelEvent* event) {
  HideTooltip();
  const int delta = event->angleDelta().y();
  if (delta == 0 || m_layout.cellsPerRow <= 0) return;
  ScrollToRow(m_nFirst / m_layout.cellsPerRow + (delta > 0 ? -1 : 1));
  event->accept();
}

void CHexDumpCtrl::keyPressEvent(QKeyEvent* event) {
  const bool ctrl = event->modifiers() & Qt::ControlModifier;
  std::optional<Key> key;
  switch (event->key()) {
    case Qt::Key_Left: key = Key::Left; break;
    case Qt::Key_Right: key = Key::Right; break;
    case Qt::Key_Up: key = Key::Up; break;
    case Qt::Key_Down: key = Key::Down; break;
    case Qt::Key_PageUp: key = Key::PageUp; break;
    case Qt::Key_PageDown: key = Key::PageDown; break;
    case Qt::Key_Home: key = ctrl ? Key::CtrlHome : Key::Home; break;
    case Qt::Key_End: key = ctrl ? Key::CtrlEnd : Key::End; break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      if (!(m_style & DUMP_READONLY)) OpenValueEditor(m_nCursor);
      return;
    default: break;
  }
  if (key) {
    ApplyPosition(MoveCursor(*key, {m_nCursor, m_nFirst}, m_layout, m_nCells));
    return;
  }
  if (ctrl && !(m_style & DUMP_READONLY)) {
    int repr = 0;
    switch (event->key()) {
      case Qt::Key_H: repr = kHex; break;
      case Qt::Key_D: repr = kDec; break;
      case Qt::Key_B: repr = kBin; break;
      case Qt::Key_O: repr = kOct; break;
      case Qt::Key_A: repr = kAscii; break;
      default: break;
    }
    if (repr && (m_style & PanelBit(repr))) {
      m_nEditRepr = repr;
      if (m_editor && m_editor->Repr() != kAddr) OpenValueEditor(m_nEditCell);
      return;
    }
  }
  QWidget::keyPressEvent(event);
}

void CHexDumpCtrl::focusInEvent(QFocusEvent*) {
  m_bFocus = true;
  update();
}

void CHexDumpCtrl::focusOutEvent(QFocusEvent*) {
  m_bFocus = false;
  update();
}

bool CHexDumpCtrl::event(QEvent* event) {
  if (event->type() == QEvent::ToolTip) {
    // Tooltips are shown by the mouse handling only.
    if (!m_bTooltipActive || m_strTooltip.isEmpty()) QToolTip::hideText();
    return true;
  }
  return QWidget::event(event);
}

// Editors.

void CHexDumpCtrl::CloseEditor() {
  if (!m_editor) return;
  CHexNumEdit* editor = m_editor;
  m_editor = nullptr;
  m_nEditCell = -1;
  editor->hide();
  editor->deleteLater();
  setFocus();
}

void CHexDumpCtrl::OpenAddressEditor(const QRect& where, int64_t rowCell) {
  CloseEditor();
  if (m_nCells <= 0) return;
  const uint64_t highest = m_nBase + uint64_t(m_nCells) - 1;
  int digits = 1;
  for (uint64_t v = highest; v >>= 4;) ++digits;
  m_editor = new CHexNumEdit(kAddr, m_nBase, highest, digits, 1, this);
  m_bEditorOnGrid = false;
  m_nEditCell = rowCell;
  m_editor->setFont(m_font);
  m_editor->setGeometry(where);
  m_editor->Start(QStringLiteral("%1").arg(m_nBase + uint64_t(rowCell), digits, 16, QLatin1Char('0')).toUpper());
  connect(m_editor, &CHexNumEdit::accepted, this, [this](uint64_t value) {
    const bool changed = m_editor->Changed();
    CloseEditor();
    if (changed) SetCursor(int64_t(value - m_nBase));
  });
  connect(m_editor, &CHexNumEdit::cancelled, this, [this] { CloseEditor(); });
  m_editor->show();
  m_editor->setFocus();
}

void CHexDumpCtrl::OpenValueEditor(int64_t cell) {
  CloseEditor();
  if (cell < 0 || cell >= m_nCells || (m_style & DUMP_READONLY)) return;
  int repr = m_nEditRepr;
  if (!(m_style & ShowBit(repr))) repr = FirstValueRepr();
  const Column* column = m_layout.ColumnOf(repr);
  const int cpr = m_layout.cellsPerRow;
  if (!column || cpr <= 0) return;
  SetCursor(cell);
  const bool words = m_style & DUMP_WORDS;
  const uint64_t max = words ? 0xFFFF : 0xFF;
  const int chars = CellChars(repr, words, m_nAddressWidth);
  m_editor = new CHexNumEdit(repr, 0, max, repr == kAscii ? 1 : chars, words ? 2 : 1, this);
  m_bEditorOnGrid = true;
  m_nEditCell = cell;
  const int row = int((cell - m_nFirst) / cpr);
  const int offset = int((cell - m_nFirst) % cpr);
  m_editor->setFont(m_font);
  m_editor->setGeometry(ToQRect(m_layout.CellRect(*column, row, offset)));
  QString start = CellString(repr, cell).trimmed();
  if (repr == kAscii) {
    const uint8_t byte = uint8_t(ValueAt(cell) & 0xFF);
    start = byte < 32 ? QStringLiteral(".") : QString(QChar(char16_t(byte)));
  }
  m_editor->Start(start);
  connect(m_editor, &CHexNumEdit::accepted, this, [this](uint64_t value) {
    const int64_t target = m_nEditCell;
    const bool changed = m_editor->Changed();
    CloseEditor();
    if (changed) WriteCell(target, value);
  });
  connect(m_editor, &CHexNumEdit::cancelled, this, [this] { CloseEditor(); });
  m_editor->show();
  m_editor->setFocus();
}

void CHexDumpCtrl::WriteCell(int64_t cell, uint64_t value) {
  if (!m_pData || (m_style & DUMP_READONLY) || cell < 0 || cell >= m_nCells) return;
  if (m_style & DUMP_WORDS) {
    const size_t at = size_t(cell) * 2;
    const bool little = m_style & DUMP_LITTLE_ENDIAN;
    m_pData[at] = uint8_t(little ? value : value >> 8);
    m_pData[at + 1] = uint8_t(little ? value >> 8 : value);
  } else {
    m_pData[size_t(cell)] = uint8_t(value);
  }
  update();
}
