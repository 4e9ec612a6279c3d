#pragma once
// Wildcard matching of found-file names: "*" stands for any run of
// characters (also none), "?" for exactly one. Characters are compared as
// 16-bit units, so letter case matters.

#include <string>
#include <string_view>

namespace quillon {

// True when the whole name matches the whole pattern.
bool MatchPattern(std::u16string_view name, std::u16string_view pattern);

// The pattern of a search as typed: blanks at both ends removed, and a
// pattern without "*" becomes "*pattern*", so that it matches any name that
// contains it. Empty when nothing but blanks was typed.
std::u16string SearchPattern(std::u16string_view typed);

}  // namespace quillon
