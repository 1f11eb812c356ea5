#pragma once
// The list of server addresses tried in turn: up to five entries from
// iplist.txt in the current directory, refreshed once from the vendor's
// library when all have failed, with the address that worked written first
// so that it is tried first next time. The library call itself is handed in
// by the caller (a DLL on Windows, a function in tests).

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::link {

inline constexpr int kAddressEntries = 5;
inline constexpr std::size_t kAddressWidth = 15;
inline constexpr std::size_t kLibraryTextWidth = 85;
inline constexpr std::size_t kCurrentAddressWidth = 25;

struct ServerAddressTable {
  std::array<std::string, kAddressEntries> entries{};  // 15 characters each, blank when empty
  std::int16_t current = 0;    // 1-based entry being tried; 0 only right after a refresh
  bool fixed = false;          // SETIPFIX: only entry 1, nothing is reloaded
  bool refreshAllowed = true;  // cleared by SETIPFIX
  bool refreshed = false;      // the library was asked since the list was last loaded from the file
  bool listLoaded = false;
  bool defaultSeen = false;    // never cleared
  std::string defaultAddress;  // the vendor's built-in server address
  std::string libraryError;    // kept but never shown
  std::uint16_t tcpPort = 5150;

  ServerAddressTable();
};

// What the vendor's library answered.
struct LibraryAnswer {
  enum class Status { kOk, kNoLibrary, kNoFunction } status = Status::kOk;
  std::int16_t count = 0;
  std::string text;  // the 85-character buffer as the library left it
};

// Where the list lives and how to reach the library.
struct AddressListEnvironment {
  std::string listFile = "iplist.txt";
  std::function<LibraryAnswer()> askLibrary;
  std::function<void()> onRefreshStarted;  // shows "actualizare parametri de conectare... "
};

std::int16_t INITLISTAIP(ServerAddressTable& table, const AddressListEnvironment& env);
// 0 next address selected; 1 refreshed from the library, index 1; -1 none left or fixed.
std::int16_t GETNEXTIPADRESS(ServerAddressTable& table, const AddressListEnvironment& env);
std::int16_t GETLISTAIPDOMENIU(ServerAddressTable& table, const AddressListEnvironment& env);
void SAVELISTAIPDOMENIU(const ServerAddressTable& table, const AddressListEnvironment& env);
void WRITELISTAIPOPTIM(const ServerAddressTable& table, const AddressListEnvironment& env);
void SETIPFIX(ServerAddressTable& table, std::string_view address);
void SETTCPPORT(ServerAddressTable& table, std::uint16_t port);

// The entry being tried (blank when the index points at none).
std::string CurrentEntry(const ServerAddressTable& table);
// The address part of an entry: everything before its first blank.
std::string_view AddressPart(std::string_view entry);

// Splits the library's text: up to five addresses, each followed by a
// carriage return and one more character. A count above 85 is read only
// within the 85-character buffer.
std::array<std::string, kAddressEntries> ParseLibraryAddressText(std::string_view buffer,
                                                                 int count);
// The library's side of the same format: addresses joined with CR LF, cut to 85.
std::string JoinLibraryAddressText(const std::vector<std::string>& addresses);

}  // namespace velmora::link
