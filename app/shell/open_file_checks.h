#pragma once
// Checks of the Open command on the file the user picked.

#include <filesystem>
#include <string>

// The path names a BKF file the program accepts: it contains ".bkf" (in any
// letter case, anywhere: "BACKUP.BKF", "x.bkf.old") and names an existing
// regular file.
bool IsSelectableBkfPath(const std::u16string& path);

// The file's size in bytes as decimal digits, or empty when it cannot be
// opened for reading.
std::u16string GetBkfFileSize(const std::filesystem::path& path);
