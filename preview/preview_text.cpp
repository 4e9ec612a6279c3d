#include "preview_text.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QStringDecoder>
#include <algorithm>
#include <cerrno>

#include "rtf_parser.h"

std::optional<QByteArray> ReadTextViewBytes(const QString& path) {
  const QByteArray native = path.toLocal8Bit();
  const int fd = ::open(native.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    return std::nullopt;
  }
  const qint64 wanted = std::min<qint64>(info.st_size, kTextViewLimit);
  QByteArray bytes(wanted, '\0');
  qint64 got = 0;
  while (got < wanted) {
    const ssize_t n = ::read(fd, bytes.data() + got, static_cast<size_t>(wanted - got));
    if (n < 0) {
      if (errno == EINTR) continue;
      ::close(fd);
      return std::nullopt;
    }
    if (n == 0) break;  // the file shrank meanwhile
    got += n;
  }
  ::close(fd);
  bytes.truncate(got);
  return bytes;
}

namespace {

// The text up to its first U+0000.
QString CutAtZero(QString text) {
  const qsizetype zero = text.indexOf(QChar(u'\0'));
  if (zero >= 0) text.truncate(zero);
  return text;
}

QString DecodeWith(QStringConverter::Encoding encoding, const QByteArray& body) {
  QStringDecoder decoder(encoding, QStringConverter::Flag::Stateless);
  return CutAtZero(decoder.decode(body));
}

}  // namespace

TextViewContent DecodeTextViewBytes(const QByteArray& bytes) {
  TextViewContent content;
  if (bytes.startsWith("\xFF\xFE")) {
    content.plain = DecodeWith(QStringConverter::Utf16LE, bytes.mid(2));
    return content;
  }
  if (bytes.startsWith("\xFE\xFF")) {
    content.plain = DecodeWith(QStringConverter::Utf16BE, bytes.mid(2));
    return content;
  }
  if (bytes.startsWith("\xEF\xBB\xBF")) {
    content.plain = DecodeWith(QStringConverter::Utf8, bytes.mid(3));
    return content;
  }
  const qsizetype zero = bytes.indexOf('\0');
  const QByteArray text = zero >= 0 ? bytes.left(zero) : bytes;
  if (quillon::rtf::HasRtfHeader(std::string_view(text.constData(), text.size()))) {
    content.rich = true;
    content.rtf = text;
    return content;
  }
  content.plain = QString::fromLatin1(text);
  return content;
}
