#include "shell/open_file_checks.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "text.h"

bool IsSelectableBkfPath(const std::u16string& path) {
  // ".bkf" in any letter case: BACKUP.BKF is the usual name on FAT media.
  std::u16string lower = path;
  for (char16_t& c : lower)
    if (c >= u'A' && c <= u'Z') c = char16_t(c - u'A' + u'a');
  if (lower.find(u".bkf") == std::u16string::npos) return false;
  std::error_code ec;
  // Only regular files: a FIFO or device would block or never end a scan.
  return std::filesystem::is_regular_file(quillon::PathFromUtf16(path), ec);
}

std::u16string GetBkfFileSize(const std::filesystem::path& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) return {};
  struct stat st {};
  const bool ok = ::fstat(fd, &st) == 0 && !S_ISDIR(st.st_mode);
  ::close(fd);
  if (!ok) return {};
  return quillon::ToDecimal16(static_cast<int64_t>(st.st_size));
}
