// Arbitrary bytes as a recovery snapshot.
#include <cstdint>
#include <fstream>

#include "app_state.h"
#include "fuzz_support.h"
#include "snapshot.h"

// The seed snapshots name this empty backup, so that loading gets past the
// opening of the BKF file.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
  std::ofstream("/tmp/quillon-fuzz-target.bkf", std::ios::binary | std::ios::app);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const auto& path = fuzzing::InputAsFile(data, size);
  AppState().m_bProcessRunning.store(1);
  std::unique_ptr<bkf> scanner;
  std::u16string bkfPath;
  if (LoadSnapshot(path, bkfPath, scanner, nullptr)) {
    // A loaded result can be walked and written again.
    for (int64_t i = 0; i < scanner->m_tree.Count(); ++i) {
      scanner->m_tree.GetNodePath(i);
      for (int64_t c = scanner->m_tree.FirstChild(i); c != kNotFound; c = scanner->m_tree.NextSibling(c)) {
      }
    }
    SaveSnapshot(*scanner, fuzzing::FreshFolder() / "again.QUILLONMOSSEL");
  }
  return 0;
}
