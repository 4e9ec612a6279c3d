#include "file_search.h"

#include "match_pattern.h"
#include "scanner.h"

namespace quillon {

bool SearchFoundFiles(const bkf& scanner, std::u16string_view pattern, IFileSearchSink& sink,
                      const ApplicationState& state) {
  const int64_t count = scanner.m_files.Count();
  for (int64_t k = 0; k < count; ++k) {
    if (state.m_bProcessRunning.load(std::memory_order_relaxed) != 1) return false;
    if (MatchPattern(scanner.m_files.Name(k), pattern)) sink.OnMatch(k);
    sink.OnProgress(k);
  }
  return true;
}

std::vector<int64_t> FindMatchingFiles(const bkf& scanner, std::u16string_view typed) {
  struct Collect : IFileSearchSink {
    std::vector<int64_t> found;
    void OnMatch(int64_t record) override { found.push_back(record); }
  } collect;
  const std::u16string pattern = SearchPattern(typed);
  if (pattern.empty()) return {};
  ApplicationState always;
  always.m_bProcessRunning.store(1);
  SearchFoundFiles(scanner, pattern, collect, always);
  return collect.found;
}

std::u16string SearchRowText(bkf& scanner, int64_t record) {
  if (!scanner.m_files.IsValid(record)) return {};
  const int64_t parent = scanner.m_files.Record(record).parent;
  std::u16string text = scanner.m_tree.IsValid(parent) ? scanner.m_tree.GetNodePath(parent) : std::u16string();
  text += scanner.m_files.Name(record);
  return text;
}

}  // namespace quillon
