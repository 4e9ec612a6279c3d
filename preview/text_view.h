#pragma once
// The text view of the preview pane: a read-only rich-text view with both
// scroll bars, showing a text file as plain text or, when it begins with an
// RTF header, as a formatted document.

#include <QFont>
#include <QPalette>
#include <QString>
#include <QTextEdit>

inline constexpr int IDC_TEXT_VIEW = 320;

class CTextPreviewView : public QTextEdit {
  Q_OBJECT
 public:
  // font: the pane's text font.
  explicit CTextPreviewView(const QFont& font, QWidget* parent = nullptr);

  // Shows the first 1 MiB of the file. False when it cannot be read.
  bool ShowFile(const QString& path);
  // Shows bytes as they were read from a file.
  void ShowBytes(const QByteArray& bytes);
  // True when the last content shown was an RTF document.
  bool IsRich() const { return m_bRich; }

 private:
  bool m_bRich = false;
  QPalette m_lookPalette;  // the program's look, for plain text
};
