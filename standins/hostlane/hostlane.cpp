// Stand-in for the vendor's hostlane.dll, its address part (the update part
// is in hostlane_update.cpp): _GetIPList@8
// answers the addresses listed in hostlane.lst beside the DLL (one a line,
// at most five), or 127.0.0.1 when there is no such file, as text joined by
// CR LF in the caller's 85-character buffer, with its length in the count.

#include <windows.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "link/address_table.h"

namespace {

std::string DllDirectory() {
  HMODULE self = nullptr;
  GetModuleHandleExA(
      GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
      reinterpret_cast<LPCSTR>(&DllDirectory), &self);
  char path[MAX_PATH] = {};
  const DWORD n = GetModuleFileNameA(self, path, sizeof path);
  std::string directory(path, n);
  return directory.substr(0, directory.find_last_of("\\/") + 1);
}

std::string Trimmed(const std::string& line) {
  const auto first = line.find_first_not_of(" \t\r");
  if (first == std::string::npos) return {};
  const auto last = line.find_last_not_of(" \t\r");
  return line.substr(first, last - first + 1);
}

std::vector<std::string> ListedAddresses() {
  std::ifstream in(DllDirectory() + "hostlane.lst");
  if (!in) return {"127.0.0.1"};
  std::vector<std::string> addresses;
  std::string line;
  while (std::getline(in, line)) {
    line = Trimmed(line);
    if (!line.empty()) addresses.push_back(line);
  }
  return addresses;
}

}  // namespace

extern "C" int WINAPI HostlaneGetIPList(int16_t* count, char* text) {
  if (count == nullptr || text == nullptr) return 0;
  const std::string joined = velmora::link::JoinLibraryAddressText(ListedAddresses());
  std::memcpy(text, joined.data(), joined.size());
  *count = static_cast<int16_t>(joined.size());
  return *count;
}
