#include "regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace quillon {

namespace {

RegularFileOpen Failed(int error, bool notRegular = false) {
  RegularFileOpen result;
  result.error = error;
  result.notRegular = notRegular;
  return result;
}

// Checks what the descriptor is, then makes its reads and writes blocking again.
RegularFileOpen Checked(int fd) {
  struct stat st {};
  if (::fstat(fd, &st) != 0) {
    const int error = errno;
    ::close(fd);
    return Failed(error);
  }
  if (!S_ISREG(st.st_mode)) {
    ::close(fd);
    return Failed(S_ISDIR(st.st_mode) ? EISDIR : EINVAL, true);
  }
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
  RegularFileOpen result;
  result.fd = fd;
  return result;
}

}  // namespace

std::string RegularFileOpen::Reason() const {
  if (notRegular) return error == EISDIR ? "it is a folder" : "it is not a regular file";
  return std::strerror(error);
}

RegularFileOpen OpenRegularFileForRead(const std::filesystem::path& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  if (fd < 0) return Failed(errno);
  return Checked(fd);
}

RegularFileOpen CreateRegularFile(const std::filesystem::path& path) {
  // A pipe without a reader refuses a non-blocking open for writing with
  // ENXIO; say what it is instead.
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode))
    return Failed(S_ISDIR(st.st_mode) ? EISDIR : EINVAL, true);
  // Not truncated at the open: only once it is known to be a regular file.
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, 0666);
  if (fd < 0) return Failed(errno);
  RegularFileOpen result = Checked(fd);
  if (result.Ok() && ::ftruncate(result.fd, 0) != 0) {
    const int error = errno;
    ::close(result.fd);
    return Failed(error);
  }
  return result;
}

}  // namespace quillon
