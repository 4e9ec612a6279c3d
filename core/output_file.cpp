#include "output_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <string>

OutputFileError::OutputFileError(const std::filesystem::path& path, const std::string& what, int error)
    : std::runtime_error("cannot write '" + path.string() + "': " + what), m_path(path), m_error(error) {}

OutputFile::~OutputFile() {
  if (m_fd >= 0) ::close(m_fd);
}

bool OutputFile::Create(const std::filesystem::path& path) {
  if (m_fd >= 0) ::close(m_fd);
  m_path = path;
  do {
    m_fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  } while (m_fd < 0 && errno == EINTR);
  return m_fd >= 0;
}

void OutputFile::Adopt(int fd, const std::filesystem::path& path) {
  if (m_fd >= 0) ::close(m_fd);
  m_fd = fd;
  m_path = path;
}

void OutputFile::Write(const void* data, size_t size) {
  const auto* p = static_cast<const uint8_t*>(data);
  while (size > 0) {
    const ssize_t n = ::write(m_fd, p, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      const int error = errno;
      throw OutputFileError(m_path, std::strerror(error), error);
    }
    if (n == 0) throw OutputFileError(m_path, "nothing could be written", ENOSPC);
    p += n;
    size -= static_cast<size_t>(n);
  }
}

void OutputFile::Close() {
  if (m_fd < 0) return;
  const int fd = m_fd;
  m_fd = -1;
  if (::close(fd) != 0 && errno != EINTR) throw OutputFileError(m_path, std::strerror(errno), errno);
}
