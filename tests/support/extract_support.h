#pragma once
// Running the file extractor in tests: scripted answers to its questions and
// the bytes it wrote.

#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "bkf_writer.h"
#include "extractor.h"
#include "sample_content.h"
#include "scanner.h"

namespace testing_support {

// Answers the extractor's questions from a script and records what it was
// asked. Next parts are paths opened when asked; "" answers none.
class ScriptedPrompts : public IExtractPrompts {
 public:
  bool confirm = true;
  std::deque<std::filesystem::path> nextParts;
  bool giveUpWhenEmpty = false;
  // Answers every question with a fresh open of this file (when set).
  std::filesystem::path alwaysPart;
  std::function<void(uint64_t)> onPiece;

  int confirmAsked = 0;
  int nextPartAsked = 0;
  std::vector<uint64_t> pieces;

  bool ConfirmStartsEarlier(const FoundFileRecord&) override;
  NextPartAnswer RequestNextPart() override;
  void PieceWritten(uint64_t bytes) override;
};

struct Extracted {
  ExtractOutcome outcome = ExtractOutcome::CannotCreate;
  fixture::Bytes bytes;
  bool readerEmptyAfter = false;
};

// Extracts record `index` of the scanner into a file of its own (with the
// running flag set) and reads back what was written.
Extracted ExtractRecord(const bkf& scanner, int64_t index, ScriptedPrompts& prompts);

using fixture::BinaryContent;
using fixture::NoiseContent;
using fixture::TextContent;

}  // namespace testing_support
