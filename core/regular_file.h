#pragma once
// Opening the files a user names (backups, snapshots, log files) without ever
// blocking and only when they are regular files: a named pipe without a
// writer or reader, a terminal or a device would otherwise hang the open
// (and an interrupted open would simply start again), or feed a scan or a
// snapshot load without end.

#include <filesystem>
#include <string>

namespace quillon {

struct RegularFileOpen {
  int fd = -1;              // the open descriptor (blocking again), or -1
  int error = 0;            // the system's error number when it failed
  bool notRegular = false;  // it failed because the name is a folder, pipe or device

  bool Ok() const { return fd >= 0; }
  // The system's reason for a failure, e.g. "Permission denied".
  std::string Reason() const;
};

// Opens an existing regular file for reading.
RegularFileOpen OpenRegularFileForRead(const std::filesystem::path& path);
// Creates a regular file for writing, or empties an existing one. Anything
// else of that name is left as it is and refused.
RegularFileOpen CreateRegularFile(const std::filesystem::path& path);

}  // namespace quillon
