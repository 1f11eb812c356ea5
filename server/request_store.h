#pragma once
// Requests kept for the vendor: every uploaded file ("901") and every request
// the server does not answer from its own files is written, byte for byte as
// its payload arrived, to a file of its own in the received folder:
//
//   <received>/<YYYYMMDD-HHMMSS>-<sequence>-<code>-<client code>.req
//
// e.g. 20261207-101530-000003-915-4711.req ("anon" when no client code is
// known). The file is written under a dot name first and renamed when
// complete, so whoever watches the folder never reads half a request.

#include <chrono>
#include <filesystem>
#include <optional>
#include <string_view>

namespace velmora::server {

class RequestStore {
 public:
  explicit RequestStore(std::filesystem::path received_dir) : dir_(std::move(received_dir)) {}

  // The final path, or nothing when the file could not be written.
  std::optional<std::filesystem::path> Store(std::string_view payload, std::string_view code,
                                             std::string_view client_code,
                                             std::chrono::system_clock::time_point now);

 private:
  std::filesystem::path dir_;
  unsigned sequence_ = 0;
};

}  // namespace velmora::server
