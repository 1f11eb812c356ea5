#include "messages/inbox_format.h"

#include <algorithm>
#include <cstdio>

#include "common/fixed_text.h"
#include "common/text_lines.h"

namespace velmora::messages {
namespace {

constexpr std::string_view kEntryMark = "!---";
constexpr std::string_view kLineEnd = "\r\n";

std::string AuthorOf(std::string_view headerLine) {
  return std::string(headerLine.substr(std::min(headerLine.size(), kEntryMark.size())));
}

void AddLine(std::string& message, std::string_view line) {
  line = TrimTrailingBlanks(line);
  if (TrimmedLength(message) == 0) {
    message.assign(line);
    return;
  }
  message.resize(TrimmedLength(message));
  message.append(kLineEnd).append(line);
  if (message.size() > kMaxMessageLength) message.resize(kMaxMessageLength);
}

}  // namespace

std::string OutgoingFileName(const StampTime& t, int attempt) {
  char name[64];
  std::snprintf(name, sizeof name, "pMsg_%04d%02d%02d%02d%02d%02d", t.year, t.month, t.day, t.hour,
                t.minute, t.second);
  std::string result = name;
  if (attempt > 0) result += "_" + std::to_string(attempt + 1);
  return result + ".dat";
}

std::string MessageStamp(const StampTime& t) {
  char stamp[64];
  std::snprintf(stamp, sizeof stamp, "%04d.%02d.%02d  %02d:%02d:%02d\r\n", t.year, t.month, t.day,
                t.hour, t.minute, t.second);
  return stamp;
}

std::string OutgoingFileContent(std::string_view text) {
  return "915 " + std::string(TrimTrailingBlanks(text));
}

std::string OwnAuthor(int32_t clientCode) {
  return PadToWidth(std::to_string(clientCode), kAuthorFieldLength);
}

std::string OwnBody(const StampTime& t, std::string_view text) {
  text = TrimTrailingBlanks(text);
  return MessageStamp(t) + std::string(text.substr(0, std::min(text.size(), kMaxArchivedMessage)));
}

std::string InboxEntryBytes(std::string_view body, std::string_view author) {
  // A body shorter than its date line is written whole as the date line.
  const std::size_t dateLength = std::min(body.size(), kDateLineLength);
  std::string entry;
  entry.reserve(body.size() + author.size() + 10);
  entry.append(kEntryMark).append(author).append(kLineEnd);
  entry.append(body.substr(0, dateLength)).append(kLineEnd);
  entry.append(body.substr(dateLength)).append(kLineEnd);
  return entry;
}

std::vector<InboxEntry> ParseInbox(std::string_view bytes) {
  std::vector<InboxEntry> entries;
  TextLineReader reader(bytes, kMaxLineLength);
  std::string_view header, date, line;
  if (!reader.Next(header)) return entries;
  reader.Next(date);
  std::string message;
  while (reader.Next(line)) {
    if (line.starts_with(kEntryMark)) {
      entries.push_back({AuthorOf(header), std::string(date), std::move(message)});
      header = line;
      date = {};
      reader.Next(date);
      message.clear();
    } else {
      AddLine(message, line);
    }
  }
  entries.push_back({AuthorOf(header), std::string(date), std::move(message)});
  return entries;
}

}  // namespace velmora::messages
