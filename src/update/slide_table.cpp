#include "update/slide_table.h"

#include <algorithm>
#include <limits>
#include <vector>

#include "common/fixed_text.h"
#include "update/schedule_lines.h"

namespace velmora::update {
namespace {

// A caption holds at most 500 characters of its line; the blanks before the
// cut are trailing blanks, and a line-break mark cut in two is one "@".
constexpr std::size_t kCaptionWidth = 500;

std::string CaptionFrom(std::string_view line) {
  std::string caption(TrimTrailingBlanks(line.substr(0, kCaptionWidth)));
  for (std::size_t at; (at = caption.find("@@")) != std::string::npos;)
    caption.replace(at, 2, "\r\n");
  return caption;
}

// A slide has a sound when its picture's second letter is "w": the picture
// name without its last four characters (its extension) and ".wav".
std::string SoundNameOf(std::string_view erpDirectory, std::string_view picture) {
  if (picture.size() < 2 || (picture[1] != 'w' && picture[1] != 'W')) return {};
  const std::string_view stem =
      picture.size() > 4 ? picture.substr(0, picture.size() - 4) : std::string_view{};
  return std::string(erpDirectory) + "\\" + std::string(stem) + ".wav";
}

int16_t PeriodFrom(std::string_view line) {
  const long period = ReadScheduleInteger(line).value_or(kPeriodWithoutNumberMs);
  return static_cast<int16_t>(std::clamp<long>(period, std::numeric_limits<int16_t>::min(),
                                               std::numeric_limits<int16_t>::max()));
}

}  // namespace

SlideTable ParseSchedule(std::string_view text, std::string_view erpDirectory) {
  SlideTable table;
  const std::vector<std::string_view> lines = SplitScheduleLines(text);
  const int count = ScheduleEntryCount(lines);
  table.count = static_cast<int16_t>(count);
  for (int k = 1; k <= count; ++k) {
    const std::size_t first = 4 * static_cast<std::size_t>(k) - 3;
    const std::string_view picture = LineAt(lines, first);
    Slide& slide = table.at(k);
    slide.imageName = std::string(erpDirectory) + "\\" + std::string(picture);
    slide.detailBase = slide.imageName + "ex";
    slide.soundName = SoundNameOf(erpDirectory, picture);
    slide.caption = CaptionFrom(LineAt(lines, first + 1));
    slide.period = PeriodFrom(LineAt(lines, first + 2));
    slide.size = static_cast<int32_t>(
        ReadScheduleInteger(LineAt(lines, first + 3)).value_or(kSizeWithoutNumber));
  }
  return table;
}

SlideTable& Slides() {
  static SlideTable table;
  return table;
}

}  // namespace velmora::update
