#include "postman/file_loader.h"

#include <windows.h>

#include "common/win_handles.h"
#include "postman/pass_rules.h"

namespace velmora::postman {

int32_t LoadOutgoingFile(const std::string& path, std::span<char> buffer) {
  AutoHandle file(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              0, nullptr));
  if (!file) return kLoadUnreadable;
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.get(), &size)) return kLoadUnreadable;
  if (SizeVerdict(static_cast<uint64_t>(size.QuadPart)) == kLoadNotARequest)
    return kLoadNotARequest;
  const auto bytes = static_cast<DWORD>(size.QuadPart);
  if (bytes > buffer.size()) return kLoadUnreadable;
  DWORD read = 0;
  if (!ReadFile(file.get(), buffer.data(), bytes, &read, nullptr) || read < bytes)
    return kLoadUnreadable;
  file.reset();
  if (!StartsWithRequestCode(buffer.first(bytes))) return kLoadNotARequest;
  return static_cast<int32_t>(bytes);
}

}  // namespace velmora::postman
