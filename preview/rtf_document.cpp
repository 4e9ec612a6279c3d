#include "rtf_document.h"

#include <QBuffer>
#include <QColor>
#include <QImage>
#include <QImageReader>
#include <QStringDecoder>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextTable>
#include <QUrl>
#include <map>
#include <memory>
#include <optional>

#include "rtf_parser.h"

namespace {

using namespace quillon;

// Bounds on what a hostile document can make us build.
constexpr int kMaxTableColumns = 64;
// Table cells in one document: each row a table gains costs time in the
// number of its cells, so beyond this the rest of the tables is shown as text.
constexpr qint64 kCellBudget = 5000;
constexpr qint64 kPicturePixelBudget = 64 << 20;  // pixels of all pictures together
constexpr double kTwipsPerPixel = 15.0;           // 1440 twips an inch, 96 pixels an inch

QByteArray CodecName(int codePage) {
  switch (codePage) {
    case 437: return "IBM437";
    case 850: return "IBM850";
    case 874: return "windows-874";
    case 932: return "Shift_JIS";
    case 936: return "GBK";
    case 949: return "windows-949";
    case 950: return "Big5";
    case 10000: return "macintosh";
    default: return "windows-" + QByteArray::number(codePage);
  }
}

class DocumentSink : public rtf::Sink {
 public:
  DocumentSink(QTextDocument* document, const rtf::Tables& tables)
      : m_document(document), m_tables(tables), m_cursor(document) {}

  void Bytes(std::string_view bytes, int codePage, const rtf::CharFormat& format,
             const rtf::ParaFormat& para) override {
    Insert(Decoder(codePage).decode(QByteArrayView(bytes.data(), bytes.size())), format, para);
  }

  void Unicode(std::u16string_view text, const rtf::CharFormat& format,
               const rtf::ParaFormat& para) override {
    Insert(QString::fromUtf16(text.data(), text.size()), format, para);
  }

  void ParagraphEnd(const rtf::ParaFormat& para) override {
    Enter(para);
    Align(para);
    m_cursor.insertBlock();
  }

  void LineBreak(const rtf::CharFormat& format, const rtf::ParaFormat& para) override {
    Insert(QString(QChar::LineSeparator), format, para);
  }

  void CellEnd(const rtf::ParaFormat& para) override {
    if (!para.inTable && !m_table) return;
    rtf::ParaFormat inTable = para;
    inTable.inTable = true;
    Enter(inTable);
    if (m_table) {
      if (m_col + 1 < kMaxTableColumns) ++m_col;
    } else {
      m_cursor.insertText(QStringLiteral("\t"));  // out of cell budget: cells as tabs
    }
  }

  void RowEnd() override {
    if (m_table) {
      if (m_rowUsed) {
        ++m_row;
        m_col = 0;
        m_rowUsed = false;
      }
    } else if (m_flatTable) {
      m_cursor.insertBlock();
    }
  }

  void Picture(rtf::PictureKind kind, std::string_view data, int widthTwips, int heightTwips,
               const rtf::CharFormat& format, const rtf::ParaFormat& para) override {
    QByteArray bytes(data.data(), static_cast<qsizetype>(data.size()));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, kind == rtf::PictureKind::Png ? "png" : "jpeg");
    const QSize size = reader.size();
    if (!size.isValid() || qint64(size.width()) * size.height() > m_pixelBudget) return;
    const QImage image = reader.read();
    if (image.isNull()) return;
    m_pixelBudget -= qint64(image.width()) * image.height();

    Enter(para);
    const QUrl name(QStringLiteral("rtf-picture:%1").arg(++m_pictures));
    m_document->addResource(QTextDocument::ImageResource, name, image);
    QTextImageFormat picture;
    picture.merge(CharFormat(format));
    picture.setName(name.toString());
    if (widthTwips > 0 && heightTwips > 0) {
      picture.setWidth(widthTwips / kTwipsPerPixel);
      picture.setHeight(heightTwips / kTwipsPerPixel);
    }
    m_cursor.insertImage(picture);
  }

 private:
  QStringDecoder& Decoder(int codePage) {
    std::unique_ptr<QStringDecoder>& decoder = m_decoders[codePage];
    if (!decoder) {
      decoder = std::make_unique<QStringDecoder>(CodecName(codePage).constData());
      if (!decoder->isValid()) decoder = std::make_unique<QStringDecoder>(QStringConverter::Latin1);
    }
    return *decoder;
  }

  QTextCharFormat CharFormat(const rtf::CharFormat& format) const {
    QTextCharFormat chr;
    chr.setFontWeight(format.bold ? QFont::Bold : QFont::Normal);
    chr.setFontItalic(format.italic);
    chr.setFontUnderline(format.underline);
    chr.setFontStrikeOut(format.strike);
    chr.setFontPointSize(format.halfPoints / 2.0);
    const auto colour = [this](int index) -> std::optional<QColor> {
      if (index <= 0 || static_cast<size_t>(index) >= m_tables.colors.size()) return std::nullopt;
      const rtf::Color& c = m_tables.colors[static_cast<size_t>(index)];
      return QColor(c.red, c.green, c.blue);
    };
    if (const auto fg = colour(format.color)) chr.setForeground(*fg);
    if (const auto bg = colour(format.background)) chr.setBackground(*bg);
    if (const rtf::Font* font = m_tables.FindFont(format.font)) {
      const QString family = QString::fromLatin1(font->name.data(),
                                                 static_cast<qsizetype>(font->name.size()))
                                 .trimmed();
      if (!family.isEmpty()) chr.setFontFamilies({family});
    }
    return chr;
  }

  void Align(const rtf::ParaFormat& para) {
    QTextBlockFormat block;
    switch (para.alignment) {
      case rtf::Alignment::Left: block.setAlignment(Qt::AlignLeft); break;
      case rtf::Alignment::Center: block.setAlignment(Qt::AlignHCenter); break;
      case rtf::Alignment::Right: block.setAlignment(Qt::AlignRight); break;
      case rtf::Alignment::Justify: block.setAlignment(Qt::AlignJustify); break;
    }
    m_cursor.mergeBlockFormat(block);
  }

  void Insert(const QString& text, const rtf::CharFormat& format, const rtf::ParaFormat& para) {
    if (text.isEmpty()) return;
    Enter(para);
    m_cursor.insertText(text, CharFormat(format));
  }

  // Puts the cursor where content of a paragraph with this format goes: the
  // current table cell, or the body after the table.
  void Enter(const rtf::ParaFormat& para) {
    if (!para.inTable) {
      LeaveTable();
      return;
    }
    if (!m_table && !m_flatTable) {
      if (m_cellBudget <= 0) {
        m_flatTable = true;
        return;
      }
      QTextTableFormat format;
      format.setBorder(1);
      format.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
      format.setCellPadding(3);
      format.setCellSpacing(0);
      m_table = m_cursor.insertTable(1, 1, format);
      m_cellBudget -= 1;
      m_row = m_col = 0;
      m_atRow = m_atCol = -1;
      m_rowUsed = false;
    }
    if (!m_table) return;
    if (m_row >= m_table->rows()) {
      if (m_cellBudget < m_table->columns()) {
        LeaveTable();
        m_flatTable = true;
        return;
      }
      m_cellBudget -= m_table->columns();
      m_table->appendRows(1);
    }
    if (m_col >= m_table->columns()) {
      if (m_cellBudget < m_table->rows()) {
        m_col = m_table->columns() - 1;
      } else {
        m_cellBudget -= m_table->rows();
        m_table->appendColumns(1);
      }
    }
    if (m_atRow != m_row || m_atCol != m_col) {
      m_cursor = m_table->cellAt(m_row, m_col).lastCursorPosition();
      m_atRow = m_row;
      m_atCol = m_col;
    }
    m_rowUsed = true;
  }

  void LeaveTable() {
    m_flatTable = false;
    if (!m_table) return;
    m_cursor = m_table->lastCursorPosition();
    m_cursor.movePosition(QTextCursor::NextBlock);
    m_table = nullptr;
  }

  QTextDocument* m_document;
  const rtf::Tables& m_tables;
  QTextCursor m_cursor;
  std::map<int, std::unique_ptr<QStringDecoder>> m_decoders;

  QTextTable* m_table = nullptr;
  bool m_flatTable = false;  // table content past the cell budget, written as text
  int m_row = 0, m_col = 0;
  int m_atRow = -1, m_atCol = -1;
  bool m_rowUsed = false;
  qint64 m_cellBudget = kCellBudget;

  qint64 m_pixelBudget = kPicturePixelBudget;
  int m_pictures = 0;
};

}  // namespace

void ReadRtfDocument(const QByteArray& rtf, QTextDocument* document) {
  document->clear();
  // No undo record and one layout at the end: each insertion is then cheap.
  const bool undo = document->isUndoRedoEnabled();
  document->setUndoRedoEnabled(false);
  QTextCursor block(document);
  block.beginEditBlock();
  rtf::Tables tables;
  DocumentSink sink(document, tables);
  rtf::Read(std::string_view(rtf.constData(), static_cast<size_t>(rtf.size())), sink, tables);
  block.endEditBlock();
  document->setUndoRedoEnabled(undo);
}
