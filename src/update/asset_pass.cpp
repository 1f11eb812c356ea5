#include "update/asset_pass.h"

#include "update/asset_plan.h"
#include "update/schedule.h"

namespace velmora::update {
namespace {

bool Exists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

int32_t Fetch(DownloadFileFn download, const std::string& remote, const std::string& local) {
  return download(remote.c_str(), static_cast<int32_t>(remote.size()), local.c_str(),
                  static_cast<int32_t>(local.size()));
}

bool Install(const std::string& temporary, const std::string& final) {
  return MoveFileExA(temporary.c_str(), final.c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE;
}

}  // namespace

int16_t RunAssetPass(const std::string& scheduleFile, const std::string& programDirectory,
                     DownloadFileFn download) {
  std::string text;
  if (!ReadScheduleFile(scheduleFile, text)) return 0;
  const AssetPlan plan = PlanAssets(text, programDirectory, &Exists);
  if (download == nullptr) return 0;

  int stillMissing = plan.refusedPictures;
  for (const PictureDownload& picture : plan.pictures) {
    const int32_t got = Fetch(download, picture.remotePath, picture.tempPath);
    if (got <= 0 || got != picture.expectedSize || !Install(picture.tempPath, picture.finalPath))
      ++stillMissing;
  }
  for (const DetailDownload& detail : plan.details)
    if (Fetch(download, detail.remotePath, detail.tempPath) > 0)
      Install(detail.tempPath, detail.finalPath);
  return stillMissing == 0 ? 0 : -1;
}

}  // namespace velmora::update
