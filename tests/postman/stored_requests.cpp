#include "stored_requests.h"

#include <algorithm>

#include "support/temp_dir.h"

namespace velmora::postman::testing {

std::vector<std::string> StoredRequests(const std::filesystem::path& data) {
  std::vector<std::filesystem::path> names;
  const std::filesystem::path received = data / "received";
  if (std::filesystem::exists(received))
    for (const auto& entry : std::filesystem::directory_iterator(received))
      if (entry.path().extension() == ".req") names.push_back(entry.path());
  std::sort(names.begin(), names.end());  // stamped and numbered in the order of arrival
  std::vector<std::string> payloads;
  for (const auto& name : names) payloads.push_back(velmora::testing::ReadFileBytes(name));
  return payloads;
}

}  // namespace velmora::postman::testing
