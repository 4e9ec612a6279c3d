#pragma once
// Keeps the scanners' progress messages from flooding the user-interface
// thread. A window without a tag sends one message, so a scan of a file
// without blocks would otherwise make the user-interface thread draw the
// status bar for every 1024 bytes and hold the scan back to its pace. A
// message goes through only when the previous one was handled at least the
// interval ago; the others are dropped by the sender at once.

#include <atomic>
#include <chrono>
#include <cstdint>

class ProgressGate {
 public:
  using Clock = std::chrono::steady_clock;
  static constexpr std::chrono::milliseconds kDefaultInterval{20};

  explicit ProgressGate(Clock::duration interval = kDefaultInterval) : m_interval(interval) {}

  // On the sending thread: whether the message goes to the receiver.
  bool Admit() const {
    const int64_t last = m_lastHandled.load(std::memory_order_acquire);
    return last == kNone || Now() - last >= m_interval.count();
  }
  // On the receiving thread, after a message was handled.
  void Handled() { m_lastHandled.store(Now(), std::memory_order_release); }
  // The next message goes through (a new process starts).
  void Reset() { m_lastHandled.store(kNone, std::memory_order_release); }

 private:
  static constexpr int64_t kNone = INT64_MIN;
  static int64_t Now() { return Clock::now().time_since_epoch().count(); }

  Clock::duration m_interval;
  std::atomic<int64_t> m_lastHandled{kNone};
};
