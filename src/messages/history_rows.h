#pragma once
// What the message history shows, without any Windows call: the rows of the
// grid built from the archive's entries, newest first, and the texts of the
// detail view and of the new-message alert.

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "messages/inbox_format.h"

namespace velmora::messages {

inline constexpr std::size_t kMaxHistoryRows = 10000;

struct HistoryRow {
  std::string date;
  std::string author;       // "Corvane", or "CU " and the client code
  std::string oneLine;      // the message with every CR, LF and "@@" turned into a blank
  std::string fullMessage;  // the message as archived, for the detail view
  bool fromVendor = false;  // shown on grey
};

// The newest `kMaxHistoryRows` entries, the newest first.
std::vector<HistoryRow> BuildHistoryRows(std::span<const InboxEntry> entries);

// "Data : " date CR LF "Autor : " author CR LF CR LF message, each without
// trailing blanks, every "@@" of the message shown as a line break.
std::string DetailText(std::string_view date, std::string_view author, std::string_view message);

// "Ati primit un mesaj nou !", an empty line, then the body after its 20-byte
// date line with every "@@" turned into a line break.
std::string AlertText(std::string_view body);

}  // namespace velmora::messages
