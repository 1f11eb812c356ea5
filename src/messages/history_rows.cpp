#include "messages/history_rows.h"

#include <algorithm>

#include "common/fixed_text.h"

namespace velmora::messages {
namespace {

// The grid compares and shows authors in a 20-character field.
constexpr std::size_t kAuthorCell = 20;
constexpr std::string_view kOwnPrefix = "CU ";

std::string AuthorShown(std::string_view author, bool fromVendor) {
  std::string field = PadToWidth(author, kAuthorCell);
  if (fromVendor) return field;
  return std::string(kOwnPrefix) + field.substr(0, kAuthorCell - kOwnPrefix.size());
}

// The vendor writes a line break as "@@"; the archive keeps it so, the
// screen shows it as `lineBreak`.
std::string WithBreaksAs(std::string_view text, std::string_view lineBreak) {
  std::string shown;
  shown.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text.compare(i, 2, "@@") == 0) {
      shown += lineBreak;
      ++i;
    } else {
      shown += text[i];
    }
  }
  return shown;
}

std::string OnOneLine(std::string_view message) {
  std::string text = WithBreaksAs(message, " ");
  std::replace_if(
      text.begin(), text.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
  return text;
}

}  // namespace

std::vector<HistoryRow> BuildHistoryRows(std::span<const InboxEntry> entries) {
  const std::size_t shown = std::min(entries.size(), kMaxHistoryRows);
  std::vector<HistoryRow> rows;
  rows.reserve(shown);
  for (std::size_t i = 0; i < shown; ++i) {
    const InboxEntry& entry = entries[entries.size() - 1 - i];
    const bool fromVendor =
        TrimTrailingBlanks(std::string_view(entry.author).substr(0, kAuthorCell)) == kVendorAuthor;
    rows.push_back({entry.dateLine, AuthorShown(entry.author, fromVendor), OnOneLine(entry.message),
                    entry.message, fromVendor});
  }
  return rows;
}

std::string DetailText(std::string_view date, std::string_view author, std::string_view message) {
  return "Data : " + std::string(TrimTrailingBlanks(date)) +
         "\r\nAutor : " + std::string(TrimTrailingBlanks(author)) + "\r\n\r\n" +
         WithBreaksAs(TrimTrailingBlanks(message), "\r\n");
}

std::string AlertText(std::string_view body) {
  return "Ati primit un mesaj nou !\r\n\r\n" +
         WithBreaksAs(body.substr(std::min(body.size(), kDateLineLength)), "\r\n");
}

}  // namespace velmora::messages
