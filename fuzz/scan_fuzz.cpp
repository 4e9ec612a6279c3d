// Arbitrary bytes as a BKF file, through the scanners.
#include <cstdint>

#include "app_state.h"
#include "fuzz_support.h"
#include "look_ahead_search.h"
#include "scanner_advance.h"

namespace {
class Sink : public INotifyTarget {
 public:
  intptr_t SendMessage(uint32_t message, uintptr_t wParam, intptr_t) override {
    if (message == UM_SCAN_PROGRESS) delete reinterpret_cast<ScanProgress*>(wParam);
    return 1;
  }
  void PostMessage(uint32_t message, uintptr_t wParam, intptr_t lParam) override {
    SendMessage(message, wParam, lParam);
  }
  MsgResult MessageBox(const std::u16string&, const std::u16string&, MsgButtons, MsgIcon) override {
    return MsgResult::Ok;
  }
};

void Check(const bkf& s) {
  // The result's links stay inside its lists.
  for (int64_t i = 0; i < s.m_tree.Count(); ++i) {
    const TreeNode& n = s.m_tree.Node(i);
    if (i > 0 && (n.parent < 0 || n.parent >= i)) __builtin_trap();
    if (n.lastFile >= s.m_files.Count()) __builtin_trap();
  }
  for (int64_t i = 0; i < s.m_files.Count(); ++i)
    if (!s.m_tree.IsValid(s.m_files.Record(i).parent)) __builtin_trap();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const auto& path = fuzzing::InputAsFile(data, size);
  Sink sink;
  AppState().m_bProcessRunning.store(1);
  bkf standard;
  standard.m_hNotifyWnd = &sink;
  standard.Scan(path);
  Check(standard);
  bkfAdvance advanced;
  advanced.m_hNotifyWnd = &sink;
  advanced.Scan(path);
  Check(advanced);
  // With segments small enough for the search ahead to be used on small
  // inputs, the Standard scan finds the same records.
  const LookAheadSettings before = UseLookAhead({true, 700, 1024});
  bkf ahead;
  ahead.m_hNotifyWnd = &sink;
  ahead.Scan(path);
  UseLookAhead(before);
  Check(ahead);
  if (ahead.m_tree.Count() != standard.m_tree.Count() || ahead.m_files.Count() != standard.m_files.Count())
    __builtin_trap();
  for (int64_t i = 0; i < ahead.m_files.Count(); ++i) {
    const FoundFileRecord &a = ahead.m_files.Record(i), &b = standard.m_files.Record(i);
    if (a.dataPosition != b.dataPosition || a.dataLength != b.dataLength || a.parent != b.parent) __builtin_trap();
  }
  return 0;
}
