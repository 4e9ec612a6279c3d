#include "match_pattern.h"

#include "text.h"

namespace quillon {

bool MatchPattern(std::u16string_view name, std::u16string_view pattern) {
  size_t n = 0;
  size_t p = 0;
  size_t starPattern = std::u16string_view::npos;  // just after the last "*"
  size_t starName = 0;                             // name position taken into it so far
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == u'*') {
      starPattern = ++p;
      starName = n;
    } else if (p < pattern.size() && (pattern[p] == u'?' || pattern[p] == name[n])) {
      ++p;
      ++n;
    } else if (starPattern != std::u16string_view::npos) {
      // Back to just after the last "*", which takes one more unit of the name.
      p = starPattern;
      n = ++starName;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == u'*') ++p;
  return p == pattern.size();
}

std::u16string SearchPattern(std::u16string_view typed) {
  std::u16string pattern = Trim16(typed);
  if (!pattern.empty() && pattern.find(u'*') == std::u16string::npos) pattern = u"*" + pattern + u"*";
  return pattern;
}

}  // namespace quillon
