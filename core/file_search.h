#pragma once
// The search of found files by name: the one loop behind the search window
// and the command line's `search` and `extract --pattern`.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "app_state.h"

class bkf;

namespace quillon {

// What a search reports while it runs (on the thread that runs it).
class IFileSearchSink {
 public:
  virtual ~IFileSearchSink() = default;
  // A record whose name matches, in list order.
  virtual void OnMatch(int64_t record) = 0;
  // Record k has been looked at.
  virtual void OnProgress(int64_t k) { (void)k; }
};

// Goes through the found-file list in order while the running flag is 1 and
// reports every record whose name matches `pattern` (a pattern as
// SearchPattern makes it). Returns true when the whole list was searched,
// false when the running flag stopped it.
bool SearchFoundFiles(const bkf& scanner, std::u16string_view pattern, IFileSearchSink& sink,
                      const ApplicationState& state = AppState());

// The records that match the pattern as typed (blanks trimmed, "*PATTERN*"
// without a "*"), the whole list searched regardless of the running flag.
std::vector<int64_t> FindMatchingFiles(const bkf& scanner, std::u16string_view typed);

// What a result row shows for a record: its folder path in the recovery tree
// followed by its name. The tree keeps a scratch list for paths, so this is
// not re-entrant.
std::u16string SearchRowText(bkf& scanner, int64_t record);

}  // namespace quillon
