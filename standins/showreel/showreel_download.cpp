// File download of the slide library stand-in: one exchange with the vendor's
// server per call (server_fetch.cpp), the bytes written whole to the local
// path. Runs on whatever thread calls it (the launcher's schedule-update thread).

#include <string>

#include "showreel/server_fetch.h"
#include "showreel/showreel_exports.h"
#include "showreel/showreel_rules.h"

namespace {

using namespace velmora::standins;

// Result codes of ShowreelGetFisierDif beyond those of the fetch.
constexpr int32_t kBadArguments = -1;
constexpr int32_t kLocalWriteFailed = -5;

}  // namespace

extern "C" int32_t WINAPI ShowreelGetFisierDif(const char* remotePath, int32_t remoteLength,
                                               const char* localPath, int32_t localLength) {
  const std::string remote = ArgumentText(remotePath, remoteLength);
  const std::string local = ArgumentText(localPath, localLength);
  if (remote.empty() || local.empty()) return kBadArguments;

  std::string payload;
  const int32_t fetched = FetchServerFile(
      remote, FolderOfModule(reinterpret_cast<const void*>(&ShowreelGetFisierDif)) + "hostlane.lst",
      payload);
  if (fetched != 0) return fetched;
  if (payload.empty()) return 0;  // nothing served: the local file stays as it was
  if (!WriteWholeFile(local, payload)) return kLocalWriteFailed;
  return static_cast<int32_t>(payload.size());
}
