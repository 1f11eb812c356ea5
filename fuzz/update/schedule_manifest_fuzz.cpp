// Arbitrary bytes as a schedule file (slide table and asset plan) and as an
// update manifest. Whatever a server sends, nothing may crash, no slide count
// may leave 0..200, and no planned path or accepted manifest entry may
// reach outside its folder.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "update/asset_plan.h"
#include "update/slide_table.h"
#include "update_manifest/update_manifest.h"

namespace {

void Require(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace velmora;
  const std::string_view text(reinterpret_cast<const char*>(data), size);

  static update::SlideTable table;  // large: kept off the stack
  table = update::ParseSchedule(text, "C:\\S\\ERP");
  Require(table.count >= 0 && table.count <= update::SlideTable::kMaxSlides);

  const update::AssetPlan plan =
      update::PlanAssets(text, "C:\\S\\ERP\\", [](const std::string&) { return false; });
  for (const update::PictureDownload& picture : plan.pictures)
    Require(update::IsSafeFileName(std::string_view(picture.finalPath).substr(9)));
  Require(plan.pictures.size() + static_cast<std::size_t>(plan.refusedPictures) <= 200);

  if (const auto manifest = standins::ParseManifest(text)) {
    for (const standins::ManifestEntry& entry : manifest->files) {
      Require(standins::IsSafeRelativePath(entry.path));
      Require(entry.path.find("..") == std::string::npos &&
              entry.path.find(':') == std::string::npos);
    }
    Require(standins::ParseManifest(standins::FormatManifest(*manifest))->files == manifest->files);
  }
  return 0;
}
