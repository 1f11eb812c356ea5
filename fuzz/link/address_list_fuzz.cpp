// libFuzzer target: the server address list. The first bytes choose the
// count the vendor's library reports; the rest is split between the text the
// library fills and the contents of iplist.txt. The list is loaded, walked to
// its end (refreshing from the library once) and written back; every entry
// must stay within its 15 characters and the index within the five entries.

#include <unistd.h>
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "link/address_table.h"

namespace {

using namespace velmora::link;

void Check(bool condition) {
  if (!condition) std::abort();
}

void CheckTable(const ServerAddressTable& table) {
  Check(table.current >= 0 && table.current <= kAddressEntries);
  for (const std::string& entry : table.entries) Check(entry.size() <= kAddressWidth);
}

const std::string& ListFile() {
  static const std::string path = (std::filesystem::temp_directory_path() /
                                   ("velmora-fuzz-iplist-" + std::to_string(getpid()) + ".txt"))
                                      .string();
  return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const int count = data[0] < 128 ? data[0] : data[0] - 256;  // a signed count, negatives too
  const std::size_t split = 2 + data[1] % (size - 1);
  const std::string_view rest(reinterpret_cast<const char*>(data), size);
  const std::string libraryText(rest.substr(2, split - 2));
  const std::string fileText(rest.substr(std::min(split, size)));

  const auto parsed = ParseLibraryAddressText(libraryText, count);
  for (const std::string& address : parsed) Check(address.size() <= kAddressWidth);

  std::ofstream(ListFile(), std::ios::binary) << fileText;
  AddressListEnvironment env;
  env.listFile = ListFile();
  env.askLibrary = [&] {
    LibraryAnswer answer;
    answer.count = static_cast<std::int16_t>(count);
    answer.text = libraryText;
    return answer;
  };
  ServerAddressTable table;
  INITLISTAIP(table, env);
  CheckTable(table);
  for (int step = 0; step < 3 * kAddressEntries; ++step) {
    const std::int16_t next = GETNEXTIPADRESS(table, env);
    CheckTable(table);
    Check(AddressPart(CurrentEntry(table)).size() <= kAddressWidth);
    if (next == -1) break;
  }
  WRITELISTAIPOPTIM(table, env);
  std::filesystem::remove(ListFile());
  return 0;
}
