#include "single_instance_lock.h"

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

bool SingleInstanceLock::Create() {
  if (m_fd < 0) {
    // Read access is enough for flock; the file is readable by every user so
    // that the lock works across users too.
    m_fd = ::open(m_path.c_str(), O_RDONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NOCTTY, 0644);
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
