#pragma once
// Search of a short pattern in a text, with or without regard to case.

#include <string_view>

namespace velmora::erpdirs {

// 1-based position of the first occurrence of `pattern` (its first
// `patternLength` characters) in the first `textLength` characters of `text`,
// or 0. With `exact` false only the letters a to z are folded to A to Z.
// 0 at once when a length is 0 or less or the pattern is longer than the text.
// Lengths beyond the views are cut to them.
int FindTextNoCase(std::string_view text, int textLength, std::string_view pattern,
                   int patternLength, bool exact);

}  // namespace velmora::erpdirs
