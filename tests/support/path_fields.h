#pragma once
// The suite's directory files hold paths in 40-character fields. Tests that
// write such a file by hand, or read a field back, build the field here.

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>

namespace velmora::testing {

// A 40-character path field's content: the text cut at 40 or blank-padded.
inline std::string Path40(std::string_view text) {
  std::string s(text.substr(0, std::min<std::size_t>(text.size(), 40)));
  s.resize(40, ' ');
  return s;
}

// DIRVAN.DAT as the client-code lookups read it: one 512-byte record of
// blanks naming `dataDirectory` as the documents data directory (offset
// 180) and the mode letter "R" (offset 354).
inline std::string DocumentsDirectoryNaming(std::string_view dataDirectory) {
  std::string record(512, ' ');
  record.replace(180, 40, Path40(dataDirectory));
  record[354] = 'R';
  return record;
}

}  // namespace velmora::testing
