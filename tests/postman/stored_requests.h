#pragma once
// What the reference server kept of the requests it received.

#include <filesystem>
#include <string>
#include <vector>

namespace velmora::postman::testing {

// The request payloads the server stored under its data folder `data`, in
// the order they arrived.
std::vector<std::string> StoredRequests(const std::filesystem::path& data);

}  // namespace velmora::postman::testing
