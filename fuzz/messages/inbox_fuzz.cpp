// libFuzzer target: the archive reader and the history built from it over
// arbitrary inbox.dat contents. Every entry must keep to the limits the
// dialog relies on.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "messages/history_rows.h"
#include "messages/inbox_format.h"

using namespace velmora::messages;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const auto entries = ParseInbox(bytes);
  for (const InboxEntry& entry : entries) {
    if (entry.author.size() > kMaxLineLength || entry.dateLine.size() > kMaxLineLength ||
        entry.message.size() > kMaxMessageLength)
      std::abort();
  }
  const auto rows = BuildHistoryRows(entries);
  if (rows.size() > kMaxHistoryRows || rows.size() > entries.size()) std::abort();
  for (const HistoryRow& row : rows)
    if (row.oneLine.find_first_of("\r\n") != std::string_view::npos) std::abort();
  if (!entries.empty()) AlertText(entries.back().message);
  return 0;
}
