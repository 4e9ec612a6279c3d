#include "preview_folder.h"

#include <cstdlib>
#include <system_error>

namespace fs = std::filesystem;

fs::path UserTempDirectory() {
  std::error_code ec;
  if (const char* tmp = std::getenv("TMPDIR"); tmp && *tmp && fs::is_directory(tmp, ec)) return fs::path(tmp);
  return fs::path("/tmp");
}

fs::path GetPreviewFolder() { return UserTempDirectory() / kPreviewFolderName; }

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
}  // namespace

void DeletePreviewFolder() { RemoveTree(GetPreviewFolder()); }
