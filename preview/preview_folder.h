#pragma once
// The private folder a preview extracts its file into: the user's temporary
// directory followed by "BKFTmpQuillonv4". It holds the output of one preview
// at most and is deleted before every preview, at every scan start, when the
// main window is created and when the application closes.
//
// The temporary directory is shared with other users, who could make that
// name first or put a link there. The folder is therefore created with mode
// 0700 and used only when it is a real folder (not a link) owned by this
// user; otherwise a folder of the same name in the user's own cache folder
// takes its place.

#include <filesystem>
#include <optional>

inline constexpr char kPreviewFolderName[] = "BKFTmpQuillonv4";

// The user's temporary directory: $TMPDIR when it names a folder, else /tmp.
std::filesystem::path UserTempDirectory();
// The preview folder's path (no trailing separator).
std::filesystem::path GetPreviewFolder();
// The folder used when the fixed name is taken: $XDG_CACHE_HOME (or
// ~/.cache) / "CorvaneQuillonRepair" / "BKFTmpQuillonv4".
std::filesystem::path FallbackPreviewFolder();
// Deletes the preview folder (and the fallback folder) with everything in
// them. Failures are ignored. Symbolic links are removed themselves; nothing
// they point to is touched. A folder of that name owned by someone else is
// left alone.
void DeletePreviewFolder();
// Creates the preview folder (an existing private one is no error) and
// returns the folder to use: the fixed one when it is a real folder owned by
// this user with no access for others, else the fallback; none when neither
// can be made.
std::optional<std::filesystem::path> PreparePreviewFolder();
// True when path is a real folder (not a link) owned by this user; access for
// others is taken away (mode 0700).
bool IsPrivateFolder(const std::filesystem::path& path);
