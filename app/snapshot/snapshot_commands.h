#pragma once
// The commands of the ribbon's "BKF File Snapshots" panel: saving the current
// scan result as a recovery snapshot, and loading one in its place so that
// its files can be browsed, previewed and saved without scanning. Both run on
// the user-interface thread, with the running flag set meanwhile.

class CMainFrame;
struct ApplicationState;

inline constexpr char kSnapshotFilter[] = ".MosselBKF Files (*.QUILLONMOSSEL)|*QUILLONMOSSEL||";
inline constexpr char kSnapshotDefaultExtension[] = "QUILLONMOSSEL";

// Command 294 once its refusals are passed: asks for the file, writes it and
// logs it. A snapshot that cannot be created or written is named with the
// system's reason in one message and in the log.
void SaveRecoverySnapshot(CMainFrame& frame, ApplicationState& state);
// Command 293 once its refusal is passed: asks for the file, clears the
// current result and loads the snapshot in its place.
void LoadRecoverySnapshot(CMainFrame& frame, ApplicationState& state);
