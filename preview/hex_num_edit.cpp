#include "hex_num_edit.h"

#include <QKeyEvent>
#include <QValidator>

#include "hex_dump_layout.h"

using namespace hexdump;

namespace {
// Lets through only the characters of one representation; a to f become A to F.
class ReprValidator : public QValidator {
 public:
  ReprValidator(int repr, QObject* parent) : QValidator(parent), m_repr(repr) {}
  State validate(QString& input, int&) const override {
    if (m_repr == kAscii) return input.size() <= 1 ? Acceptable : Invalid;
    for (QChar& c : input) {
      const char16_t u = c.unicode();
      bool ok = false;
      switch (m_repr) {
        case kAddr:
        case kHex:
          if (u >= 'a' && u <= 'f') c = QChar(u - 'a' + 'A');
          ok = (u >= '0' && u <= '9') || (c.unicode() >= 'A' && c.unicode() <= 'F');
          break;
        case kDec: ok = u >= '0' && u <= '9'; break;
        case kOct: ok = u >= '0' && u <= '7'; break;
        case kBin: ok = u == '0' || u == '1' || u == '-'; break;
      }
      if (!ok) return Invalid;
    }
    return Acceptable;
  }

 private:
  int m_repr;
};
}  // namespace

CHexNumEdit::CHexNumEdit(int repr, uint64_t minimum, uint64_t maximum, int maxChars, int bytes, QWidget* parent)
    : QLineEdit(parent), m_repr(repr), m_min(minimum), m_max(maximum), m_bytes(bytes) {
  setObjectName(QStringLiteral("hexNumEdit"));
  setAccessibleName(QStringLiteral("%1 value").arg(QString::fromLatin1(ReprName(repr))));
  setFrame(false);
  setValidator(new ReprValidator(repr, this));
  if (maxChars > 0) setMaxLength(maxChars);
  setAutoFillBackground(true);
  connect(this, &QLineEdit::textChanged, this, [this] { UpdateColours(); });
  UpdateColours();
}

void CHexNumEdit::Start(const QString& text) {
  m_initial = text;
  setText(text);
  selectAll();
  UpdateColours();
}

std::optional<uint64_t> CHexNumEdit::Value() const {
  const QString t = text();
  if (t.isEmpty()) return std::nullopt;
  bool ok = false;
  uint64_t value = 0;
  switch (m_repr) {
    case kAddr:
    case kHex: value = t.toULongLong(&ok, 16); break;
    case kDec: value = t.toULongLong(&ok, 10); break;
    case kOct: value = t.toULongLong(&ok, 8); break;
    case kBin: {
      QString bits = t;
      bits.remove(QLatin1Char('-'));
      if (bits.size() > 64) return std::nullopt;
      value = bits.toULongLong(&ok, 2);
      break;
    }
    case kAscii:
      value = t.at(0).unicode();
      ok = value <= 0xFF;
      break;
  }
  if (!ok) return std::nullopt;
  return value;
}

bool CHexNumEdit::InRange() const {
  const std::optional<uint64_t> value = Value();
  return value && *value >= m_min && *value <= m_max;
}

QColor CHexNumEdit::TextColor() const { return InRange() ? QColor(Qt::black) : QColor(Qt::white); }
QColor CHexNumEdit::BackgroundColor() const { return InRange() ? QColor(255, 255, 0) : QColor(255, 0, 0); }

void CHexNumEdit::UpdateColours() {
  QPalette p = palette();
  p.setColor(QPalette::Base, BackgroundColor());
  p.setColor(QPalette::Window, BackgroundColor());
  p.setColor(QPalette::Text, TextColor());
  setPalette(p);
}

void CHexNumEdit::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    if (InRange()) emit accepted(*Value());
    return;  // out of range: stays open
  }
  if (event->key() == Qt::Key_Escape) {
    emit cancelled();
    return;
  }
  QLineEdit::keyPressEvent(event);
}
