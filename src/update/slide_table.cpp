#include "update/slide_table.h"

#include <charconv>
#include <vector>

#include "common/fixed_text.h"

namespace velmora::update {
namespace {

constexpr std::size_t kLineLimit = 1000;

std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const auto end = text.find('\n');
    std::string_view line = text.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(TrimTrailingBlanks(line.substr(0, kLineLimit)));
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return lines;
}

// A free-form integer: leading blanks, an optional sign, digits; 0 otherwise.
long ReadInteger(std::string_view line) {
  const auto start = line.find_first_not_of(" \t");
  if (start == std::string_view::npos) return 0;
  line.remove_prefix(start);
  if (!line.empty() && line.front() == '+') line.remove_prefix(1);
  long value = 0;
  std::from_chars(line.data(), line.data() + line.size(), value);
  return value;
}

std::string CaptionFrom(std::string_view line) {
  std::string caption(line);
  for (std::size_t at; (at = caption.find("@@")) != std::string::npos;) caption.replace(at, 2, "\r\n");
  return caption;
}

}  // namespace

SlideTable ParseSchedule(std::string_view text, std::string_view erpDirectory) {
  SlideTable table;
  const std::vector<std::string_view> lines = SplitLines(text);
  if (lines.empty()) return table;
  long count = ReadInteger(lines[0]);
  if (count > SlideTable::kMaxSlides) count = SlideTable::kMaxSlides;
  if (count <= 0) return table;
  table.count = static_cast<int16_t>(count);

  auto lineAt = [&](std::size_t i) { return i < lines.size() ? lines[i] : std::string_view{}; };
  for (int k = 1; k <= count; ++k) {
    const std::size_t first = 4 * static_cast<std::size_t>(k) - 3;
    const std::string_view picture = lineAt(first);
    Slide& slide = table.at(k);
    slide.imageName = std::string(erpDirectory) + "\\" + std::string(picture);
    slide.detailBase = slide.imageName + "ex";
    if (picture.size() >= 2 && (picture[1] == 'w' || picture[1] == 'W') && slide.imageName.size() >= 4)
      slide.soundName = slide.imageName.substr(0, slide.imageName.size() - 4) + ".wav";
    slide.caption = CaptionFrom(lineAt(first + 1));
    slide.period = static_cast<int16_t>(ReadInteger(lineAt(first + 2)));
    slide.size = static_cast<int32_t>(ReadInteger(lineAt(first + 3)));
  }
  return table;
}

SlideTable& Slides() {
  static SlideTable table;
  return table;
}

}  // namespace velmora::update
