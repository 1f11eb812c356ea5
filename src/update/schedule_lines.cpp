#include "update/schedule_lines.h"

#include <algorithm>
#include <charconv>
#include <limits>

#include "common/fixed_text.h"
#include "common/text_lines.h"
#include "update/slide_table.h"

namespace velmora::update {

namespace {
constexpr std::size_t kLineLimit = 1000;
}

std::vector<std::string_view> SplitScheduleLines(std::string_view text) {
  std::vector<std::string_view> lines;
  TextLineReader reader(text, kLineLimit);
  for (std::string_view line; reader.Next(line);) lines.push_back(TrimTrailingBlanks(line));
  return lines;
}

std::optional<long> ReadScheduleInteger(std::string_view line) {
  const auto start = line.find_first_not_of(" \t");
  if (start == std::string_view::npos) return std::nullopt;
  line.remove_prefix(start);
  if (!line.empty() && line.front() == '+') line.remove_prefix(1);
  long value = 0;
  const auto [end, error] = std::from_chars(line.data(), line.data() + line.size(), value);
  if (error == std::errc::result_out_of_range)
    return line.front() == '-' ? std::numeric_limits<long>::min()
                               : std::numeric_limits<long>::max();
  if (error != std::errc{}) return std::nullopt;
  return value;
}

int ScheduleEntryCount(const std::vector<std::string_view>& lines) {
  const long count = ReadScheduleInteger(LineAt(lines, 0)).value_or(0);
  return static_cast<int>(std::clamp<long>(count, 0, SlideTable::kMaxSlides));
}

}  // namespace velmora::update
