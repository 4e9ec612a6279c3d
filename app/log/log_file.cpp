#include "log/log_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "regular_file.h"
#include "text.h"

FileErrorCause FileErrorCauseFromErrno(int error) {
  switch (error) {
    case ENOENT:
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
    case EINVAL:
      return FileErrorCause::BadPath;
    case ENXIO:
    case ENODEV:
      return FileErrorCause::FileNotFound;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
      return FileErrorCause::AccessDenied;
    case EMFILE:
    case ENFILE:
      return FileErrorCause::TooManyOpenFiles;
    case EBADF:
      return FileErrorCause::InvalidFile;
    case EMLINK:
      return FileErrorCause::DirectoryFull;
    case EIO:
      return FileErrorCause::HardIo;
    case ETXTBSY:
    case EBUSY:
      return FileErrorCause::SharingViolation;
    case EAGAIN:
    case ENOLCK:
      return FileErrorCause::LockViolation;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
      return FileErrorCause::DiskFull;
    default:
      return FileErrorCause::Unknown;
  }
}

std::u16string FileErrorText(FileErrorCause cause, const std::u16string& path) {
  const char16_t* pattern = u"An unknown error occurred while accessing %1.";
  switch (cause) {
    case FileErrorCause::Unknown: break;
    case FileErrorCause::FileNotFound: pattern = u"%1 was not found."; break;
    case FileErrorCause::BadPath: pattern = u"%1 contains an incorrect path."; break;
    case FileErrorCause::TooManyOpenFiles:
      pattern = u"Could not open %1 because there are too many open files.";
      break;
    case FileErrorCause::AccessDenied: pattern = u"Access to %1 was denied."; break;
    case FileErrorCause::InvalidFile: pattern = u"An incorrect file handle was associated with %1."; break;
    case FileErrorCause::DirectoryFull: pattern = u"Could not create %1 because the directory is full."; break;
    case FileErrorCause::HardIo: pattern = u"Encountered a hardware I/O error while accessing %1."; break;
    case FileErrorCause::SharingViolation: pattern = u"Encountered a sharing violation while accessing %1."; break;
    case FileErrorCause::LockViolation: pattern = u"Encountered a locking violation while accessing %1."; break;
    case FileErrorCause::DiskFull: pattern = u"Disk full while accessing %1."; break;
  }
  std::u16string text(pattern);
  const size_t at = text.find(u"%1");
  if (at != std::u16string::npos) text.replace(at, 2, path);
  return text;
}

namespace {
void AppendUtf16Le(std::string& out, std::u16string_view text) {
  for (char16_t unit : text) {
    out += char(unit & 0xFF);
    out += char(unit >> 8);
  }
}

bool WriteAll(int fd, const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += size_t(n);
  }
  return true;
}
}  // namespace

std::string LogFileBytes(const std::vector<std::u16string>& rows) {
  std::string bytes;
  if (rows.empty()) return bytes;
  AppendUtf16Le(bytes, kLogFileHeader);
  for (const std::u16string& row : rows) {
    AppendUtf16Le(bytes, row);
    AppendUtf16Le(bytes, u"\r\n");
  }
  return bytes;
}

LogFileResult WriteLogFile(const std::filesystem::path& path, const std::vector<std::u16string>& rows) {
  const std::u16string shownPath = quillon::PathToUtf16(path);
  const quillon::RegularFileOpen opened = quillon::CreateRegularFile(path);
  if (!opened.Ok()) {
    // A folder, a pipe or a device is no file the log can be kept in.
    const int error = opened.notRegular ? EACCES : opened.error;
    return {false, FileErrorText(FileErrorCauseFromErrno(error), shownPath)};
  }
  const int fd = opened.fd;
  bool written = WriteAll(fd, LogFileBytes(rows));
  if (::close(fd) != 0) written = false;
  if (!written) return {false, FileErrorText(FileErrorCause::DiskFull, shownPath)};
  return {};
}
