#pragma once
// What the asset pass must fetch for a newly downloaded schedule: every
// picture and detail text it names that is not yet in the program
// directory. Portable; the downloads themselves are in asset_pass.cpp.
//
// The schedule comes from the vendor's server and its names are joined to
// the program directory, so a name that could reach outside it ("\", "/",
// ":" or "..") is refused: nothing is fetched for it and the picture counts
// as not fetched, so that schedule is never installed.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::update {

inline constexpr char kRemoteFolder[] = "/updateVelmora/";

// True for a plain file name that stays in the folder it is joined to: not
// empty, no "\", "/", ":" or "..", no control characters.
bool IsSafeFileName(std::string_view name);

struct PictureDownload {
  std::string finalPath;   // program directory + name
  std::string tempPath;    // program directory + "~" + name
  std::string remotePath;  // "/updateVelmora/" + name
  long expectedSize = 0;   // line 4 of the entry
};

struct DetailDownload {
  std::string finalPath;   // program directory + name + "ex"
  std::string tempPath;    // program directory + "~" + name + "ex"
  std::string remotePath;  // "/updateVelmora/" + name + "ex"
};

struct AssetPlan {
  std::vector<PictureDownload> pictures;  // missing pictures, each path once
  std::vector<DetailDownload> details;    // missing detail texts, repeats kept
  int refusedPictures = 0;                // entries whose picture name is unsafe
};

using FileExists = std::function<bool(const std::string& path)>;

// `programDirectory` ends in "\". Pictures are listed once per local path;
// detail texts (only for names beginning with "t") once per entry.
AssetPlan PlanAssets(std::string_view scheduleText, std::string_view programDirectory,
                     const FileExists& exists);

}  // namespace velmora::update
