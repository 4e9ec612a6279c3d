#include "extract_support.h"

#include <gtest/gtest.h>

#include "segmented_reader.h"
#include "test_support.h"

namespace testing_support {

bool ScriptedPrompts::ConfirmStartsEarlier(const FoundFileRecord&) {
  ++confirmAsked;
  return confirm;
}

NextPartAnswer ScriptedPrompts::RequestNextPart() {
  ++nextPartAsked;
  std::filesystem::path path = alwaysPart;
  if (path.empty()) {
    if (nextParts.empty()) return giveUpWhenEmpty ? NextPartAnswer::GiveUp() : NextPartAnswer::None();
    path = nextParts.front();
    nextParts.pop_front();
    if (path.empty()) return NextPartAnswer::None();
  }
  auto file = std::make_unique<BkfFile>();
  EXPECT_TRUE(file->Open(path)) << path;
  return NextPartAnswer::Part(std::move(file));
}

void ScriptedPrompts::PieceWritten(uint64_t bytes) {
  pieces.push_back(bytes);
  if (onPiece) onPiece(bytes);
}

Extracted ExtractRecord(const bkf& scanner, int64_t index, ScriptedPrompts& prompts) {
  static TempDir dir;
  static int n = 0;
  const auto path = dir / ("out-" + std::to_string(n++));
  SegmentedReader reader;
  Extracted result;
  AppState().m_bProcessRunning.store(1);
  try {
    result.outcome = ExtractFile(scanner, scanner.m_files.Record(index), path, prompts, reader);
  } catch (...) {
    AppState().m_bProcessRunning.store(0);
    throw;
  }
  AppState().m_bProcessRunning.store(0);
  result.readerEmptyAfter = reader.SegmentCount() == 0 && reader.PartCount() == 0;
  if (std::filesystem::exists(path)) result.bytes = ReadAll(path);
  return result;
}

}  // namespace testing_support
