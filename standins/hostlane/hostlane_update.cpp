// Stand-in for the vendor's hostlane.dll, its update part.
//
// _downloadUpdateInfo@4 fetches the update manifest from the vendor's server
// and stages under <suite root>ERP\UPDATE\ every offered file that differs
// from the installed one, each checked against the manifest's size and
// SHA-256 before it stays; the manifest of what is staged goes beside them
// for the self-update program. Files already staged and still right are not
// fetched again; anything else in the staging folder is cleared away.
//
// _getNrFisiereUpdatabile@4 counts the staged files whose SHA-256 differs
// from the installed file's.

#include <windows.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

#include "showreel/server_fetch.h"
#include "update_manifest/sha256_file.h"
#include "update_manifest/update_manifest.h"

namespace {

namespace fs = std::filesystem;
using namespace velmora::standins;

constexpr int32_t kNoManifest = -1;

fs::path StagingFolder(const fs::path& suiteRoot) { return suiteRoot / "ERP" / "UPDATE"; }

std::string ReadWholeFile(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool MatchesEntry(const fs::path& file, const ManifestEntry& entry) {
  std::error_code error;
  return fs::is_regular_file(file, error) && fs::file_size(file, error) == entry.size && !error &&
         Sha256OfFile(file) == entry.sha256;
}

// Fetches one offered file into the staging folder; true when it is there
// with the manifest's size and digest.
bool StageEntry(const ManifestEntry& entry, const fs::path& target,
                const std::string& addressList) {
  std::string bytes;
  if (FetchServerFile(RemotePathOf(entry.path), addressList, bytes) != 0) return false;
  if (bytes.size() != entry.size || Sha256OfBytes(bytes) != entry.sha256) return false;
  std::error_code error;
  fs::create_directories(target.parent_path(), error);
  return !error && WriteWholeFile(target.string(), bytes);
}

// Leaves in the staging folder only the staged files and their manifest.
void ClearUnlisted(const fs::path& staging, const Manifest& staged) {
  std::set<fs::path> keep{staging / kStagedManifestName};
  for (const ManifestEntry& entry : staged.files) keep.insert(PathBelow(staging, entry.path));
  std::error_code error;
  std::vector<fs::path> unlisted;
  for (auto it = fs::recursive_directory_iterator(staging, error);
       !error && it != fs::recursive_directory_iterator(); it.increment(error))
    if (it->is_regular_file(error) && !keep.count(it->path())) unlisted.push_back(it->path());
  for (const fs::path& file : unlisted) fs::remove(file, error);
}

std::optional<Manifest> StagedManifest(const fs::path& suiteRoot) {
  return ParseManifest(ReadWholeFile(StagingFolder(suiteRoot) / kStagedManifestName));
}

}  // namespace

extern "C" int32_t WINAPI HostlaneDownloadUpdateInfo(const char* suiteRootText) {
  if (suiteRootText == nullptr || *suiteRootText == '\0') return kNoManifest;
  const fs::path suiteRoot(suiteRootText);
  const std::string addressList =
      FolderOfModule(reinterpret_cast<const void*>(&HostlaneDownloadUpdateInfo)) + "hostlane.lst";
  std::string text;
  if (FetchServerFile(kRemoteManifest, addressList, text) != 0) return kNoManifest;
  const std::optional<Manifest> offered = ParseManifest(text);
  if (!offered) return kNoManifest;

  const fs::path staging = StagingFolder(suiteRoot);
  Manifest staged;
  for (const ManifestEntry& entry : offered->files) {
    if (Sha256OfFile(PathBelow(suiteRoot, entry.path)) == entry.sha256)
      continue;  // installed already
    const fs::path target = PathBelow(staging, entry.path);
    if (MatchesEntry(target, entry) || StageEntry(entry, target, addressList))
      staged.files.push_back(entry);
  }

  std::error_code error;
  if (staged.files.empty()) {
    fs::remove_all(staging, error);
    return 0;
  }
  ClearUnlisted(staging, staged);
  if (!WriteWholeFile((staging / kStagedManifestName).string(), FormatManifest(staged)))
    return kNoManifest;
  return static_cast<int32_t>(staged.files.size());
}

extern "C" int16_t WINAPI HostlaneGetNrFisiereUpdatabile(const char* suiteRootText) {
  if (suiteRootText == nullptr || *suiteRootText == '\0') return 0;
  const fs::path suiteRoot(suiteRootText);
  const std::optional<Manifest> staged = StagedManifest(suiteRoot);
  if (!staged) return 0;
  int16_t differing = 0;
  for (const ManifestEntry& entry : staged->files) {
    const fs::path stagedFile = PathBelow(StagingFolder(suiteRoot), entry.path);
    std::error_code error;
    if (!fs::is_regular_file(stagedFile, error)) continue;
    if (Sha256OfFile(stagedFile) != Sha256OfFile(PathBelow(suiteRoot, entry.path))) ++differing;
  }
  return differing;
}
