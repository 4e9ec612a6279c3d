#include "preview_folder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <system_error>

namespace fs = std::filesystem;

fs::path UserTempDirectory() {
  std::error_code ec;
  if (const char* tmp = std::getenv("TMPDIR"); tmp && *tmp && fs::is_directory(tmp, ec)) return fs::path(tmp);
  return fs::path("/tmp");
}

fs::path GetPreviewFolder() { return UserTempDirectory() / kPreviewFolderName; }

fs::path FallbackPreviewFolder() {
  fs::path cache;
  if (const char* xdg = std::getenv("XDG_CACHE_HOME"); xdg && *xdg == '/')
    cache = xdg;
  else if (const char* home = std::getenv("HOME"); home && *home == '/')
    cache = fs::path(home) / ".cache";
  else
    cache = UserTempDirectory();
  return cache / "CorvaneQuillonRepair" / kPreviewFolderName;
}

namespace {
// Removes path and, for a folder, everything below it first; goes on past
// entries that cannot be removed. Links are never followed.
void RemoveTree(const fs::path& path) {
  std::error_code ec;
  const fs::file_status status = fs::symlink_status(path, ec);
  if (ec || !fs::exists(status)) return;
  if (fs::is_directory(status)) {
    for (fs::directory_iterator it(path, ec), end; !ec && it != end; it.increment(ec)) RemoveTree(it->path());
  }
  fs::remove(path, ec);
}

// Removes a preview folder unless it is a real folder of another user.
void RemoveOwnFolder(const fs::path& path) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0) return;
  if (S_ISDIR(st.st_mode) && st.st_uid != ::geteuid()) return;
  RemoveTree(path);
}

std::optional<fs::path> MakePrivate(const fs::path& path) {
  if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) return std::nullopt;
  if (!IsPrivateFolder(path)) return std::nullopt;
  return path;
}
}  // namespace

bool IsPrivateFolder(const fs::path& path) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0) return false;
  if (!S_ISDIR(st.st_mode) || st.st_uid != ::geteuid()) return false;
  if ((st.st_mode & 077) != 0 && ::chmod(path.c_str(), 0700) != 0) return false;
  return true;
}

void DeletePreviewFolder() {
  RemoveOwnFolder(GetPreviewFolder());
  RemoveOwnFolder(FallbackPreviewFolder());
}

std::optional<fs::path> PreparePreviewFolder() {
  if (std::optional<fs::path> fixed = MakePrivate(GetPreviewFolder())) return fixed;
  // The fixed name is taken: the user's own folder instead.
  const fs::path fallback = FallbackPreviewFolder();
  std::error_code ec;
  fs::create_directories(fallback.parent_path(), ec);
  return MakePrivate(fallback);
}
