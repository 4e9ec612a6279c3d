// Extraction of arbitrary BKF bytes: the bytes are scanned and every found
// file is extracted, together with one record whose data position and length
// are taken from the first bytes; the same bytes serve once as the next part.
#include <cstdint>
#include <cstdlib>
#include <filesystem>

#include "app_state.h"
#include "extractor.h"
#include "fuzz_support.h"
#include "mtf.h"
#include "scanner.h"
#include "segmented_reader.h"

namespace {

class FuzzPrompts : public IExtractPrompts {
 public:
  FuzzPrompts(const std::filesystem::path& part, bool confirm) : m_part(part), m_confirm(confirm) {}
  bool ConfirmStartsEarlier(const FoundFileRecord&) override { return m_confirm; }
  NextPartAnswer RequestNextPart() override {
    if (m_given++ > 0) return NextPartAnswer::None();
    auto file = std::make_unique<BkfFile>();
    if (!file->Open(m_part)) return NextPartAnswer::None();
    return NextPartAnswer::Part(std::move(file));
  }

 private:
  std::filesystem::path m_part;
  bool m_confirm;
  int m_given = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const auto& input = fuzzing::InputAsFile(data, size);
  const auto output = fuzzing::FreshFolder() / "output";
  AppState().m_bProcessRunning.store(1);
  bkf scanner;
  if (!scanner.Scan(input)) return 0;
  AppState().m_bProcessRunning.store(1);
  if (size >= 16) {
    FoundFileRecord r = NewFoundFileRecord();
    r.kind = kFileKind;
    r.index = scanner.m_files.Count();
    r.dataPosition = LoadU64(data) % (uint64_t(size) + 64);
    r.dataLength = LoadU64(data + 8);
    scanner.m_files.Append(r, u"made-up");
  }
  SegmentedReader reader;
  const int64_t count = scanner.m_files.Count() < 64 ? scanner.m_files.Count() : 64;
  for (int64_t i = 0; i < count; ++i) {
    FuzzPrompts prompts(input, (i & 1) == 0);
    try {
      ExtractFile(scanner, scanner.m_files.Record(i), output, prompts, reader);
    } catch (const BkfIoError&) {
    } catch (const OutputFileError&) {
    }
    if (reader.SegmentCount() != 0 || reader.PartCount() != 0) std::abort();
    // What the data can hold: each part's bytes once, or what compressed
    // frames of them decode to.
    const uint64_t written = std::filesystem::file_size(output);
    if (written > (uint64_t(size) * 2 + 48) * 2647) std::abort();
  }
  AppState().m_bProcessRunning.store(0);
  return 0;
}
