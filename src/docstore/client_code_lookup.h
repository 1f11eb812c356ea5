#pragma once
// The lookup behind ReadClientCode and PeekClientCode, with the files that
// are open already handed in, so that either road can be exercised.

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string_view>

namespace velmora::docstore {

struct ClientLookupFiles {
  std::string_view dataDirectory;  // 40-character field
  std::string_view obiPath;        // full name of obi.dat
  std::string_view devName;        // "DEV.DAT" or "dev.dat"
  HANDLE openObi = nullptr;        // obi.dat when open already
  HANDLE openDev = nullptr;        // dev.dat when open already
  bool peek = false;               // the uncached lookup's road: obi.dat's open failure is silent,
                                   // an open dev.dat takes obi.dat's header through ReadObiHeader
};

// The client code, or nullopt when the files cannot be used or hold no
// client record. Closes what it opened itself.
std::optional<int32_t> ClientCodeInFiles(const ClientLookupFiles& files);

}  // namespace velmora::docstore
