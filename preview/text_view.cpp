#include "text_view.h"

#include <QTextDocument>

#include "preview_text.h"
#include "rtf_document.h"

CTextPreviewView::CTextPreviewView(const QFont& font, QWidget* parent) : QTextEdit(parent) {
  setObjectName(QStringLiteral("textView"));
  setProperty("controlId", IDC_TEXT_VIEW);
  setAccessibleName(tr("File text"));
  setReadOnly(true);
  setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  setFrameShape(QFrame::Box);
  setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setUndoRedoEnabled(false);
  setFont(font);
  document()->setDefaultFont(font);
  m_lookPalette = palette();
}

bool CTextPreviewView::ShowFile(const QString& path) {
  const std::optional<QByteArray> bytes = ReadTextViewBytes(path);
  if (!bytes) return false;
  ShowBytes(*bytes);
  return true;
}

void CTextPreviewView::ShowBytes(const QByteArray& bytes) {
  const TextViewContent content = DecodeTextViewBytes(bytes);
  m_bRich = content.rich;
  if (content.rich) {
    // A document is shown on white paper in black ink, as its colours were
    // chosen for, and wraps at the view's width, as a word processor shows it.
    QPalette paper = m_lookPalette;
    paper.setColor(QPalette::Base, Qt::white);
    paper.setColor(QPalette::Text, Qt::black);
    setPalette(paper);
    setLineWrapMode(QTextEdit::WidgetWidth);
    ReadRtfDocument(content.rtf, document());
  } else {
    // Plain text keeps its lines; the horizontal scroll bar reaches the rest.
    setPalette(m_lookPalette);
    setLineWrapMode(QTextEdit::NoWrap);
    setPlainText(content.plain);
  }
  moveCursor(QTextCursor::Start);
}
