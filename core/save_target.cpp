#include "save_target.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "save_paths.h"
#include "text.h"

namespace quillon {

namespace {
// Open folders kept at most; beyond this the remembered folders are closed
// and opened again as they are needed.
constexpr size_t kMaxOpenFolders = 256;

int OpenFolderAt(int dirFd, const char* name) {
  int fd;
  do {
    fd = ::openat(dirFd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  } while (fd < 0 && errno == EINTR);
  return fd;
}
}  // namespace

SaveTarget::SaveTarget(std::u16string_view typed) : m_location(Trim16(typed)) {
  m_prefix = m_location;
  if (m_prefix.empty() || m_prefix.back() != u'/') m_prefix += u'/';
  m_prefixUtf8 = Utf16ToUtf8(m_prefix);
}

SaveTarget::~SaveTarget() {
  CloseFolders();
  if (m_root >= 0) ::close(m_root);
}

void SaveTarget::CloseFolders() {
  for (auto& [key, fd] : m_folders) ::close(fd);
  m_folders.clear();
}

bool SaveTarget::Open() {
  if (m_location.empty()) {
    errno = ENOENT;
    return false;
  }
  // The destination itself may be a link: the user chose it.
  do {
    m_root = ::open(Utf16ToUtf8(m_location).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  } while (m_root < 0 && errno == EINTR);
  return m_root >= 0;
}

bool SaveTarget::Vanished() const {
  struct stat st;
  return m_root < 0 || ::fstat(m_root, &st) != 0 || st.st_nlink == 0;
}

bool SaveTarget::IsFatal(int error, int dirFd) const {
  switch (error) {
    case ENOSPC: case EDQUOT: case EROFS: case EIO: case EMFILE: case ENFILE:
      return true;
    case EACCES: case EPERM:
      // Refused in the destination itself: refused for every file.
      return dirFd == m_root;
    default:
      return Vanished();
  }
}

// The open folder of the hierarchy path's folders, created where missing;
// -1 when one cannot be created or is not a real folder (a link in the way).
int SaveTarget::FolderFd(const std::vector<std::u16string>& parts, std::string& key) {
  key.clear();
  for (size_t i = 0; i + 1 < parts.size(); ++i) key += FileSystemName(parts[i]) + '/';
  if (auto it = m_folders.find(key); it != m_folders.end()) return it->second;
  if (m_folders.size() >= kMaxOpenFolders) CloseFolders();

  int dirFd = m_root;
  std::string walked;
  for (size_t i = 0; i + 1 < parts.size(); ++i) {
    const std::string name = FileSystemName(parts[i]);
    walked += name + '/';
    if (auto it = m_folders.find(walked); it != m_folders.end()) {
      dirFd = it->second;
      continue;
    }
    int fd = OpenFolderAt(dirFd, name.c_str());
    if (fd < 0 && errno == ENOENT) {
      if (::mkdirat(dirFd, name.c_str(), 0777) != 0 && errno != EEXIST) return -1;
      fd = OpenFolderAt(dirFd, name.c_str());
    }
    if (fd < 0) return -1;
    m_folders.emplace(walked, fd);
    dirFd = fd;
  }
  return dirFd;
}

bool SaveTarget::Taken(int dirFd, const std::string& key, const std::string& name, bool replace) const {
  if (m_written.count(key + name)) return true;
  ++m_nameTests;
  struct stat st;
  if (::fstatat(dirFd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) return errno != ENOENT;
  // A link counts as taken, wherever it points; a pipe or a device is never
  // opened. A file from before the job is replaced when asked.
  return !replace || (!S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode));
}

OutputSlot SaveTarget::Finish(int dirFd, const std::string& key, const std::string& name, int fd, int error) {
  OutputSlot slot;
  slot.fd = fd;
  slot.dirFd = dirFd;
  slot.name = name;
  slot.path = std::filesystem::path(m_prefixUtf8 + key + name);
  if (fd < 0) {
    slot.error = error;
    slot.fatal = IsFatal(error, dirFd);
  } else {
    m_written.insert(key + name);
  }
  return slot;
}

// Opens `safeName` in the folder, or while that name is taken the first free
// one of "0name", "1name", ..., counting on from the last number this job
// used there. With `replace` a regular file from before the job is replaced
// (the hierarchy); without it only a name that is free is used (flat).
OutputSlot SaveTarget::OpenIn(int dirFd, const std::string& key, const std::u16string& safeName, bool replace) {
  const std::string plain = FileSystemName(safeName);
  uint64_t* next = nullptr;
  std::string name = plain;
  for (;;) {
    if (!Taken(dirFd, key, name, replace)) {
      // Never blocks (a pipe put in place meanwhile) and never follows a link.
      const int flags = O_WRONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | (replace ? O_TRUNC : O_EXCL);
      int fd;
      do {
        fd = ::openat(dirFd, name.c_str(), flags, 0666);
      } while (fd < 0 && errno == EINTR);
      const int error = errno;
      struct stat st;
      if (fd >= 0 && ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
        ::fcntl(fd, F_SETFL, 0);
        return Finish(dirFd, key, name, fd, 0);
      }
      if (fd >= 0) ::close(fd);
      // Anything but a link or a name put in place meanwhile is this file's failure.
      else if (error != ELOOP && error != EEXIST) return Finish(dirFd, key, name, -1, error);
    }
    if (!next) next = &m_nextNumber[key + '\0' + plain];
    name = FileSystemName(ToDecimal16((*next)++) + safeName);
  }
}

OutputSlot SaveTarget::Create(CTarvelBKFTreeVectorClass& tree, const FoundFileRecord& record,
                              std::u16string_view name, bool hierarchy) {
  if (hierarchy) {
    const int64_t parent = record.parent;
    std::u16string relative = tree.IsValid(parent) ? tree.GetNodePath(parent) : std::u16string();
    relative += name;
    const std::vector<std::u16string> parts = SafeComponents(CleanRelativePath(relative));
    size_t length = m_prefix.size() + parts.size() - 1;  // the separators between the parts
    for (const auto& part : parts) length += part.size();
    if (length <= kHierarchyPathLimit) {
      std::string key;
      const int dirFd = FolderFd(parts, key);
      if (dirFd >= 0) return OpenIn(dirFd, key, parts.back(), true);
    }
  }
  return OpenIn(m_root, std::string(), SafeFlatName(name), false);
}

}  // namespace quillon
