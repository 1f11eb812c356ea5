#pragma once
// The line reading that the schedule loader and the asset pass share:
// velmora.scn is plain text, one value a line, each line read whole up to
// 1000 characters, trailing blanks not significant.

#include <optional>
#include <string_view>
#include <vector>

namespace velmora::update {

// The lines of `text` (LF or CR LF), each cut to 1000 characters and
// without trailing blanks.
std::vector<std::string_view> SplitScheduleLines(std::string_view text);

// A free-form integer: leading blanks, an optional sign, then digits (what
// follows them is ignored). nullopt when the line holds no number.
std::optional<long> ReadScheduleInteger(std::string_view line);

// The number of entries named by the first line: at most 200, 0 when the
// line holds no number.
int ScheduleEntryCount(const std::vector<std::string_view>& lines);

// Line `index` (0-based), empty past the end of the file.
inline std::string_view LineAt(const std::vector<std::string_view>& lines, std::size_t index) {
  return index < lines.size() ? lines[index] : std::string_view{};
}

}  // namespace velmora::update
