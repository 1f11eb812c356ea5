#pragma once
// Reads one outgoing file into the postman's buffer.

#include <cstdint>
#include <span>
#include <string>

namespace velmora::postman {

// Opens the file for reading and writing without sharing, so a file that
// another program still writes is left alone. Returns its size, or
// kLoadUnreadable (cannot be opened or read whole) or kLoadNotARequest (too
// large, or it does not begin with three digits and a blank).
int32_t LoadOutgoingFile(const std::string& path, std::span<char> buffer);

}  // namespace velmora::postman
