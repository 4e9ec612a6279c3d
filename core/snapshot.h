#pragma once
// Recovery snapshot files (extension "QUILLONMOSSEL"): a scan result (the
// recovery tree and the found-file list, byte images of their records) with
// the path of the scanned BKF file, so a later run can browse and save without
// scanning again.
//
// Format, little-endian, no magic and no counts:
//   u32 path length ((units + 1) * 2), the path in UTF-16 with a zero unit;
//   per node: 'T', u32 name length, 4 reserved bytes, the 54-byte node image,
//             the name in UTF-16 with a zero unit; then an end marker;
//   per record: 'F', u32 name length, 4 reserved bytes, the 41-byte record
//             image, the name; then an end marker.
//   An end marker is 'E' followed by 8 bytes.

#include <filesystem>
#include <memory>
#include <string>

#include "app_state.h"
#include "notify.h"
#include "scanner.h"

inline constexpr char16_t kSnapshotExtension[] = u"QUILLONMOSSEL";
inline constexpr char16_t kSnapshotBkfMissing[] = u"file cannot opened.";
inline constexpr char16_t kSnapshotAborted[] = u"Snapshot loading process aborted.";

// Writes the scanner's result with the path of the BKF file it has open:
// 1 written, 0 failed (what was written stays). The loops stop when the
// running flag drops to 0.
int SaveSnapshot(const bkf& scanner, const std::filesystem::path& snapshotPath,
                 ApplicationState& state = AppState());
// The same with the BKF path given.
int SaveSnapshot(const bkf& scanner, const std::u16string& bkfPath, const std::filesystem::path& snapshotPath,
                 ApplicationState& state = AppState());

// What writing a snapshot came to.
struct SnapshotWriteResult {
  bool ok = false;
  bool stopped = false;  // the running flag dropped: the lists were cut short
  std::string reason;    // the system's reason when it failed, e.g. "No space left on device"
};
// As SaveSnapshot, with the reason of a failure. A name that is a folder, a
// pipe or a device is refused without waiting; what was written stays.
SnapshotWriteResult WriteSnapshot(const bkf& scanner, const std::filesystem::path& snapshotPath,
                                  ApplicationState& state = AppState());
SnapshotWriteResult WriteSnapshot(const bkf& scanner, const std::u16string& bkfPath,
                                  const std::filesystem::path& snapshotPath, ApplicationState& state = AppState());

// Destroys `scanner`, then restores the snapshot into a new Standard scanner
// that has the stored BKF file open: 1 loaded, 0 aborted (scanner is then
// none). A BKF file that cannot be opened is reported with the box
// "file cannot opened." (default title, no icon) through `notify`. A damaged
// snapshot (links outside the lists, bad name lengths, cut short) is refused.
int LoadSnapshot(const std::filesystem::path& snapshotPath, std::u16string& bkfPath, std::unique_ptr<bkf>& scanner,
                 INotifyTarget* notify, ApplicationState& state = AppState());
