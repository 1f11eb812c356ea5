#pragma once
// One blocking file download from the vendor's server, as the stand-ins of
// the vendor's libraries do it. The server is the first address of the
// address list file (127.0.0.1 without one), the port VELMORA_SERVER_PORT
// or 5150. Runs on whatever thread calls it.

#include <cstdint>
#include <string>

namespace velmora::standins {

inline constexpr int32_t kFetchNoConnection = -2;  // no address, no connection
inline constexpr int32_t kFetchBroken = -3;        // the exchange broke off
inline constexpr int32_t kFetchBadLength = -4;     // the answer's length is impossible

// 0 with the file's bytes in `payload` (empty when the server has no such
// file), or one of the codes above.
int32_t FetchServerFile(const std::string& remotePath, const std::string& addressListFile,
                        std::string& payload);

// Writes `bytes` as the whole of `path`; on failure nothing is left there.
bool WriteWholeFile(const std::string& path, const std::string& bytes);

// The folder of the module holding `addressInModule`, ending in "\".
std::string FolderOfModule(const void* addressInModule);

}  // namespace velmora::standins
