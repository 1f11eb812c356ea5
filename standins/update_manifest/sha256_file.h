#pragma once
// SHA-256 through the system's bcrypt, as lower-case hex. Windows only.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace velmora::standins {

std::optional<std::string> Sha256OfBytes(std::string_view bytes);
// nullopt when the file cannot be opened or read.
std::optional<std::string> Sha256OfFile(const std::filesystem::path& file);

}  // namespace velmora::standins
