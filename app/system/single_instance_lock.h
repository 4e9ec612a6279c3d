#pragma once
// The machine-wide single-instance lock: an advisory lock (flock) on a file in
// the system's temporary directory, named after the lock name. The kernel drops
// the lock when its holder ends in any way, so a crashed instance leaves no
// stale lock behind.

#include <filesystem>

inline constexpr char kSingleInstanceLockName[] = "Global\\{CORVANEQUILLONREPHSH2912}";

class SingleInstanceLock {
 public:
  // The lock file: temporary directory / "Global-{CORVANEQUILLONREPHSH2912}.lock".
  static std::filesystem::path DefaultPath();

  explicit SingleInstanceLock(std::filesystem::path path = DefaultPath());
  ~SingleInstanceLock();
  SingleInstanceLock(const SingleInstanceLock&) = delete;
  SingleInstanceLock& operator=(const SingleInstanceLock&) = delete;

  // Opens the lock file (creating it) and tries to take the lock. Returns true
  // when another process already holds it. A lock file that cannot be opened
  // counts as no other instance: the start never fails for want of a lock.
  bool Create();

  bool AlreadyExisted() const { return m_bAlreadyExisted; }
  bool Held() const { return m_bHeld; }
  const std::filesystem::path& Path() const { return m_path; }

 private:
  std::filesystem::path m_path;
  int m_fd = -1;
  bool m_bAlreadyExisted = false;
  bool m_bHeld = false;
};
