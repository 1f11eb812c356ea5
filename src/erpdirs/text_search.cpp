#include "erpdirs/text_search.h"

#include <algorithm>

namespace velmora::erpdirs {
namespace {

char Fold(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace

int FindTextNoCase(std::string_view text, int textLength, std::string_view pattern,
                   int patternLength, bool exact) {
  textLength =
      std::min(textLength, static_cast<int>(std::min<std::size_t>(text.size(), 0x7FFFFFFF)));
  patternLength =
      std::min(patternLength, static_cast<int>(std::min<std::size_t>(pattern.size(), 0x7FFFFFFF)));
  if (textLength <= 0 || patternLength <= 0 || patternLength > textLength) return 0;
  for (int start = 0; start + patternLength <= textLength; ++start) {
    int k = 0;
    for (; k < patternLength; ++k) {
      const char a = text[static_cast<std::size_t>(start) + static_cast<std::size_t>(k)];
      const char b = pattern[static_cast<std::size_t>(k)];
      if (exact ? a != b : Fold(a) != Fold(b)) break;
    }
    if (k == patternLength) return start + 1;
  }
  return 0;
}

}  // namespace velmora::erpdirs
