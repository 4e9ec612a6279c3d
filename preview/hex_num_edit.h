#pragma once
// The editor of the hex dump control: a one-line edit over a cell that takes
// a value in one representation (address or hex digits, decimal, binary with
// "-" between bytes, octal, or one character). It refuses other characters,
// turns a to f into upper case, and shows black on yellow while the typed
// value lies in its range and white on red otherwise. Enter with a value in
// range reports it; Esc cancels.

#include <QLineEdit>
#include <cstdint>
#include <optional>

class CHexNumEdit : public QLineEdit {
  Q_OBJECT
 public:
  // repr: a representation of hex_dump_layout.h; bytes: 1 or 2 for the value
  // editors (binary text groups its bits per byte).
  CHexNumEdit(int repr, uint64_t minimum, uint64_t maximum, int maxChars, int bytes, QWidget* parent);

  int Repr() const { return m_repr; }
  // The typed value, none when the text is not a number of this representation.
  std::optional<uint64_t> Value() const;
  bool InRange() const;
  // The colours now shown (text, background).
  QColor TextColor() const;
  QColor BackgroundColor() const;
  bool Changed() const { return text() != m_initial; }
  // Sets the starting text, all selected.
  void Start(const QString& text);

 signals:
  void accepted(uint64_t value);
  void cancelled();

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void UpdateColours();

  int m_repr;
  uint64_t m_min;
  uint64_t m_max;
  int m_bytes;
  QString m_initial;
};
