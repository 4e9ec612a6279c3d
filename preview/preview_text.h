#pragma once
// What the text view shows of a file: at most its first 1,048,576 bytes, each
// byte one ISO 8859-1 character, ending at the first zero byte; a file that
// begins with a UTF-16 or UTF-8 byte-order mark is decoded in that encoding
// instead (so that a UTF-16 .reg or .log file does not end after its first
// character), and bytes that begin with an RTF header are a formatted document.

#include <QByteArray>
#include <QString>
#include <optional>

inline constexpr qint64 kTextViewLimit = 1048576;

struct TextViewContent {
  bool rich = false;  // rtf holds the document's bytes, plain is empty
  QByteArray rtf;
  QString plain;
};

// Reads at most kTextViewLimit bytes from the start of a regular file. A
// symbolic link, FIFO or device is refused without blocking.
std::optional<QByteArray> ReadTextViewBytes(const QString& path);

// Turns the bytes read into what the view shows.
TextViewContent DecodeTextViewBytes(const QByteArray& bytes);
