#pragma once
// Text read line by line the way a text file is read: a line ends at LF (a CR
// before it is dropped), a last line without an end still counts, and a line
// longer than the limit is cut to it.

#include <cstddef>
#include <string_view>

namespace velmora {

class TextLineReader {
 public:
  explicit TextLineReader(std::string_view text, std::size_t limit = std::string_view::npos)
      : rest_(text), limit_(limit) {}

  // The next line, false at the end of the text.
  bool Next(std::string_view& line);

 private:
  std::string_view rest_;
  std::size_t limit_;
};

}  // namespace velmora
