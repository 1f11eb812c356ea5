#include "server/request_store.h"

#include <cstdio>
#include <fstream>
#include <string>
#include <system_error>

#include "server/local_time.h"

namespace velmora::server {

namespace fs = std::filesystem;

std::optional<fs::path> RequestStore::Store(std::string_view payload, std::string_view code,
                                            std::string_view client_code,
                                            std::chrono::system_clock::time_point now) {
  std::error_code ec;
  fs::create_directories(dir_, ec);
  const std::string stamp = FormatFileStamp(ToLocalTime(now));
  const std::string client = client_code.empty() ? std::string("anon") : std::string(client_code);

  // The sequence keeps names apart within one second; the existence check
  // keeps them apart from files of an earlier run.
  for (int attempt = 0; attempt < 100000; ++attempt) {
    char sequence[16];
    std::snprintf(sequence, sizeof sequence, "%06u", ++sequence_);
    const std::string name =
        stamp + "-" + sequence + "-" + std::string(code) + "-" + client + ".req";
    const fs::path final_path = dir_ / name;
    const fs::path temp_path = dir_ / ("." + name + ".tmp");
    if (fs::exists(final_path, ec) || fs::exists(temp_path, ec)) continue;
    {
      std::ofstream out(temp_path, std::ios::binary | std::ios::trunc);
      out.write(payload.data(), static_cast<std::streamsize>(payload.size()));
      out.close();
      if (!out) {
        fs::remove(temp_path, ec);
        return std::nullopt;
      }
    }
    fs::rename(temp_path, final_path, ec);
    if (ec) {
      fs::remove(temp_path, ec);
      return std::nullopt;
    }
    return final_path;
  }
  return std::nullopt;
}

}  // namespace velmora::server
