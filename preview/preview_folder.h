#pragma once
// The private folder a preview extracts its file into: the user's temporary
// directory followed by "BKFTmpQuillonv4". It holds the output of one preview
// at most and is deleted before every preview, at every scan start, when the
// main window is created and when the application closes.

#include <filesystem>

inline constexpr char kPreviewFolderName[] = "BKFTmpQuillonv4";

// The user's temporary directory: $TMPDIR when it names a folder, else /tmp.
std::filesystem::path UserTempDirectory();
// The preview folder's path (no trailing separator).
std::filesystem::path GetPreviewFolder();
// Deletes the preview folder with everything in it. Failures are ignored.
// Symbolic links are removed themselves; nothing they point to is touched.
void DeletePreviewFolder();
