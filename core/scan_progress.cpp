// The one ScanProgress record a scan keeps for reuse: progress messages are
// sent with the blocking send, so each record is freed by the receiver
// before the next one is made.
#include <atomic>
#include <new>

#include "notify.h"

namespace {
std::atomic<void*> g_spare{nullptr};
}

void* ScanProgress::operator new(std::size_t size) {
  if (size == sizeof(ScanProgress)) {
    if (void* p = g_spare.exchange(nullptr, std::memory_order_acquire)) return p;
  }
  return ::operator new(size);
}

void ScanProgress::operator delete(void* p) noexcept {
  if (!p) return;
  void* expected = nullptr;
  if (!g_spare.compare_exchange_strong(expected, p, std::memory_order_release, std::memory_order_relaxed))
    ::operator delete(p);
}
