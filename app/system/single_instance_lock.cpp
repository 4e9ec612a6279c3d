#include "system/single_instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "preview_folder.h"

std::filesystem::path SingleInstanceLock::DefaultPath() {
  std::string name = kSingleInstanceLockName;
  for (char& c : name)
    if (c == '\\') c = '-';
  return UserTempDirectory() / (name + ".lock");
}

SingleInstanceLock::SingleInstanceLock(std::filesystem::path path) : m_path(std::move(path)) {}

SingleInstanceLock::~SingleInstanceLock() {
  if (m_fd >= 0) ::close(m_fd);
}

namespace {
// Opens the lock file, creating it when missing. An existing file is opened
// without O_CREAT: in a sticky temporary folder the kernel may refuse O_CREAT
// on another user's file, and that user's instance must still be seen.
int OpenLockFile(const std::filesystem::path& path) {
  constexpr int kFlags = O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NOCTTY;
  for (int attempt = 0; attempt < 3; ++attempt) {
    int fd = ::open(path.c_str(), kFlags);
    if (fd >= 0 || errno != ENOENT) return fd;
    // Read access is enough for flock; every user may read the file.
    fd = ::open(path.c_str(), kFlags | O_CREAT | O_EXCL, 0644);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}
}  // namespace

bool SingleInstanceLock::Create() {
  if (m_fd < 0) {
    m_fd = OpenLockFile(m_path);
    if (m_fd < 0) return m_bAlreadyExisted = false;
  }
  int rc;
  do {
    rc = ::flock(m_fd, LOCK_EX | LOCK_NB);
  } while (rc != 0 && errno == EINTR);
  m_bHeld = rc == 0;
  m_bAlreadyExisted = rc != 0 && errno == EWOULDBLOCK;
  return m_bAlreadyExisted;
}
