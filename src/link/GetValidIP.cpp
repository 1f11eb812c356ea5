// The server address list of this process: iplist.txt in the current
// directory, refreshed from the vendor's hostlane.dll when every address has
// failed. The list logic itself is portable (address_table.cpp); this file
// binds it to the link's state and to the library.

#include <windows.h>

#include <cstring>

#include "common/win_handles.h"
#include "link/link_api.h"
#include "link/link_state.h"

namespace velmora::link {
namespace {

using GetIpListFunction = int(WINAPI*)(int16_t* count, char* text);

LibraryAnswer AskHostlane() {
  AutoLibrary library(LoadLibraryA("hostlane.dll"));
  if (!library) return {LibraryAnswer::Status::kNoLibrary, 0, {}};
  const auto getIpList = reinterpret_cast<GetIpListFunction>(
      reinterpret_cast<void (*)()>(GetProcAddress(library.get(), "_GetIPList@8")));
  if (getIpList == nullptr) return {LibraryAnswer::Status::kNoFunction, 0, {}};
  // The library is promised 85 characters; the slack absorbs a closing zero.
  char text[kLibraryTextWidth + 171];
  std::memset(text, ' ', kLibraryTextWidth);
  std::memset(text + kLibraryTextWidth, 0, sizeof text - kLibraryTextWidth);
  int16_t count = 0;
  getIpList(&count, text);
  return {LibraryAnswer::Status::kOk, count, std::string(text, kLibraryTextWidth)};
}

void ShowRefresh() {
  SetStatusText(kStatusRefreshing);
  Link().currentAddress = std::string(kCurrentAddressWidth, ' ');
  InvalidateLink();
}

}  // namespace

const AddressListEnvironment& AddressEnvironment() {
  static const AddressListEnvironment environment{"iplist.txt", &AskHostlane, &ShowRefresh};
  return environment;
}

int16_t INITLISTAIP() { return INITLISTAIP(Link().addresses, AddressEnvironment()); }
int16_t GETNEXTIPADRESS() { return GETNEXTIPADRESS(Link().addresses, AddressEnvironment()); }
int16_t GETLISTAIPDOMENIU() { return GETLISTAIPDOMENIU(Link().addresses, AddressEnvironment()); }
void SAVELISTAIPDOMENIU() { SAVELISTAIPDOMENIU(Link().addresses, AddressEnvironment()); }
void WRITELISTAIPOPTIM() { WRITELISTAIPOPTIM(Link().addresses, AddressEnvironment()); }
void SETIPFIX(std::string_view address) { SETIPFIX(Link().addresses, address); }
void SETTCPPORT(uint16_t port) { SETTCPPORT(Link().addresses, port); }

}  // namespace velmora::link
