#pragma once
// Rich Text Format into a QTextDocument, for the text view: the reader of the
// core reports the document and this builder writes it with a text cursor.

#include <QByteArray>

class QTextDocument;

// Replaces the document's content with the formatted RTF document.
void ReadRtfDocument(const QByteArray& rtf, QTextDocument* document);
