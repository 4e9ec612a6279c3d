// The ScanProgress record a thread keeps for reuse: progress messages are
// sent with the blocking send, so each record is freed by the receiver
// before the next one is made. When the receiver runs on the scanning
// thread (the command line, the save job) the record freed is the one the
// next message takes; a receiver on another thread keeps its own spare and
// the scanner allocates.
#include <new>

#include "notify.h"

namespace {
struct Spare {
  void* record = nullptr;
  ~Spare() { ::operator delete(record); }
};
thread_local Spare t_spare;
}  // namespace

void* ScanProgress::operator new(std::size_t size) {
  if (size == sizeof(ScanProgress) && t_spare.record) {
    void* p = t_spare.record;
    t_spare.record = nullptr;
    return p;
  }
  return ::operator new(size);
}

void ScanProgress::operator delete(void* p) noexcept {
  if (!p) return;
  if (!t_spare.record) {
    t_spare.record = p;
    return;
  }
  ::operator delete(p);
}
