#include "update/asset_plan.h"

#include <algorithm>

#include "update/schedule_lines.h"
#include "update/slide_table.h"

namespace velmora::update {

bool IsSafeFileName(std::string_view name) {
  if (name.empty() || name.find("..") != std::string_view::npos) return false;
  return std::none_of(name.begin(), name.end(), [](char c) {
    return c == '\\' || c == '/' || c == ':' || static_cast<unsigned char>(c) < 0x20;
  });
}

AssetPlan PlanAssets(std::string_view scheduleText, std::string_view programDirectory,
                     const FileExists& exists) {
  AssetPlan plan;
  const std::vector<std::string_view> lines = SplitScheduleLines(scheduleText);
  const int count = ScheduleEntryCount(lines);
  const std::string directory(programDirectory);
  for (int k = 1; k <= count; ++k) {
    const std::size_t first = 4 * static_cast<std::size_t>(k) - 3;
    const std::string name(LineAt(lines, first));
    if (!IsSafeFileName(name)) {
      ++plan.refusedPictures;
      continue;
    }
    const std::string picture = directory + name;
    const bool listed =
        std::any_of(plan.pictures.begin(), plan.pictures.end(),
                    [&](const PictureDownload& p) { return p.finalPath == picture; });
    if (!listed && !exists(picture)) {
      const long size = ReadScheduleInteger(LineAt(lines, first + 3)).value_or(kSizeWithoutNumber);
      plan.pictures.push_back({picture, directory + "~" + name, kRemoteFolder + name, size});
    }
    if (name.front() == 't' && !exists(picture + "ex"))
      plan.details.push_back(
          {picture + "ex", directory + "~" + name + "ex", kRemoteFolder + name + "ex"});
  }
  return plan;
}

}  // namespace velmora::update
