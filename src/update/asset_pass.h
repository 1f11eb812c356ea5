#pragma once
// The asset pass: fetches what a newly downloaded schedule names and the
// program directory lacks, through the slide library's download export.

#include <windows.h>

#include <cstdint>
#include <string>

namespace velmora::update {

// The slide library's _GetFisierDif@16: remote path and its length, local
// path and its length; the number of bytes written, greater than 0 on success.
using DownloadFileFn = int32_t(WINAPI*)(const char* remotePath, int32_t remoteLength,
                                        const char* localPath, int32_t localLength);

// 0 when every picture the schedule names is present afterwards (or the
// file cannot be opened), -1 when a picture could not be fetched with its
// expected size or its name was refused. A picture is downloaded to its "~"
// name and renamed only when its size is right; a detail text whenever
// anything came. Without `download`, nothing is fetched and 0 is returned.
int16_t RunAssetPass(const std::string& scheduleFile, const std::string& programDirectory,
                     DownloadFileFn download);

}  // namespace velmora::update
