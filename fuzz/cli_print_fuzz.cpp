// Arbitrary bytes as a BKF file, scanned and printed as quillon-cli prints a
// result: the text tree must hold no control character but the line ends,
// the nested JSON must close every node it opens.
#include <cstdint>
#include <string>

#include "app_state.h"
#include "fuzz_support.h"
#include "scanner.h"
#include "terminal_text.h"
#include "tree_print.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const auto& path = fuzzing::InputAsFile(data, size);
  AppState().m_bProcessRunning.store(1);
  bkf scanner;
  scanner.Scan(path);

  const std::string text = FormatTreeText(scanner);
  for (unsigned char c : text)
    if ((c < 0x20 && c != '\n') || c == 0x7F) __builtin_trap();

  const std::string nested = FormatTreeJsonNested(scanner);
  int64_t depth = 0;
  bool inString = false;
  for (size_t i = 0; i < nested.size(); ++i) {
    const char c = nested[i];
    if (inString) {
      if (c == '\\') ++i;
      else if (c == '"') inString = false;
      else if (static_cast<unsigned char>(c) < 0x20) __builtin_trap();
      continue;
    }
    if (c == '"') inString = true;
    else if (c == '{' || c == '[') ++depth;
    else if (c == '}' || c == ']') --depth;
    if (depth < 0) __builtin_trap();
  }
  if (depth != 0 || inString) __builtin_trap();
  FormatTreeJson(scanner);

  // The sanitiser on the raw bytes as well.
  const std::string shown = TerminalText(std::string(reinterpret_cast<const char*>(data), size));
  for (unsigned char c : shown)
    if (c < 0x20 || c == 0x7F) __builtin_trap();
  return 0;
}
