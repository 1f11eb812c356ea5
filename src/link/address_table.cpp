#include "link/address_table.h"

#include <algorithm>
#include <cstdio>
#include <memory>

#include "common/fixed_text.h"
#include "common/text_lines.h"

namespace velmora::link {
namespace {

std::string BlankEntry() { return std::string(kAddressWidth, ' '); }
bool IsBlank(std::string_view entry) { return TrimmedLength(entry) == 0; }

void BlankAll(ServerAddressTable& table) { table.entries.fill(BlankEntry()); }

void NoteIfDefault(ServerAddressTable& table, const std::string& entry) {
  if (entry == PadToWidth(table.defaultAddress, kAddressWidth)) table.defaultSeen = true;
}

// C stdio rather than file streams: the streams would bring the whole locale
// machinery into the program and set it up at every start. Text mode, so the
// list is written with the system's line ends.
using File = std::unique_ptr<std::FILE, decltype(&std::fclose)>;

File OpenFile(const std::string& path, const char* mode) {
  return File(std::fopen(path.c_str(), mode), &std::fclose);
}

// Reads up to five lines; false when the file cannot be opened.
bool ReadListLines(const std::string& path, std::vector<std::string>& lines) {
  const File in = OpenFile(path, "r");
  if (!in) return false;
  std::string text;
  char chunk[4096];
  for (std::size_t got; (got = std::fread(chunk, 1, sizeof chunk, in.get())) > 0;)
    text.append(chunk, got);
  TextLineReader reader(text);
  std::string_view line;
  while (lines.size() < static_cast<std::size_t>(kAddressEntries) && reader.Next(line))
    lines.emplace_back(line);
  return true;
}

void WriteListLines(const std::string& path, const std::vector<std::string>& lines) {
  const File out = OpenFile(path, "w");
  if (!out) return;
  for (const auto& line : lines) {
    std::fwrite(line.data(), 1, line.size(), out.get());
    std::fputc('\n', out.get());
  }
}

}  // namespace

ServerAddressTable::ServerAddressTable() { BlankAll(*this); }

std::int16_t INITLISTAIP(ServerAddressTable& table, const AddressListEnvironment& env) {
  table.current = 1;
  if (table.fixed) return 0;
  BlankAll(table);
  std::vector<std::string> lines;
  ReadListLines(env.listFile, lines);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    table.entries[i] = PadToWidth(lines[i], kAddressWidth);
    table.listLoaded = true;
    NoteIfDefault(table, table.entries[i]);
  }
  if (lines.empty()) {
    table.listLoaded = false;
    GETLISTAIPDOMENIU(table, env);
  }
  table.current = 1;
  return 0;
}

std::int16_t GETNEXTIPADRESS(ServerAddressTable& table, const AddressListEnvironment& env) {
  if (table.fixed) return -1;
  for (;;) {
    if (table.current >= kAddressEntries) {
      if (!table.refreshed) {
        table.listLoaded = false;
        table.current = 0;
        GETLISTAIPDOMENIU(table, env);
        table.current += 1;
        return 1;
      }
      if (!table.defaultSeen) {
        table.defaultSeen = true;
        return 0;
      }
      return -1;
    }
    table.current += 1;
    if (!IsBlank(table.entries[table.current - 1])) return 0;
  }
}

std::int16_t GETLISTAIPDOMENIU(ServerAddressTable& table, const AddressListEnvironment& env) {
  if (!table.refreshAllowed) return 0;
  table.refreshed = true;
  if (env.onRefreshStarted) env.onRefreshStarted();
  const LibraryAnswer answer =
      env.askLibrary ? env.askLibrary() : LibraryAnswer{LibraryAnswer::Status::kNoLibrary, 0, {}};
  if (answer.status == LibraryAnswer::Status::kNoLibrary) {
    table.libraryError = "Eroare deschidere \"hostlane.dll\"";
    return 0;
  }
  if (answer.status == LibraryAnswer::Status::kNoFunction) {
    table.libraryError = "Eroare interna \"hostlane.dll\"";
    return 0;
  }
  BlankAll(table);
  if (answer.count > 0) {
    table.entries = ParseLibraryAddressText(answer.text, answer.count);
    for (const auto& entry : table.entries) NoteIfDefault(table, entry);
    SAVELISTAIPDOMENIU(table, env);
  }
  table.current = 0;
  table.listLoaded = true;
  return 0;
}

void SAVELISTAIPDOMENIU(const ServerAddressTable& table, const AddressListEnvironment& env) {
  std::vector<std::string> lines;
  for (const auto& entry : table.entries)
    if (!IsBlank(entry)) lines.emplace_back(TrimTrailingBlanks(entry));
  WriteListLines(env.listFile, lines);
}

void WRITELISTAIPOPTIM(const ServerAddressTable& table, const AddressListEnvironment& env) {
  std::vector<std::string> lines;
  const int current = table.current;
  if (current >= 1 && current <= kAddressEntries && !IsBlank(table.entries[current - 1]))
    lines.emplace_back(TrimTrailingBlanks(table.entries[current - 1]));
  for (int i = 1; i <= kAddressEntries; ++i)
    if (i != current && !IsBlank(table.entries[i - 1]))
      lines.emplace_back(TrimTrailingBlanks(table.entries[i - 1]));
  WriteListLines(env.listFile, lines);
}

void SETIPFIX(ServerAddressTable& table, std::string_view address) {
  BlankAll(table);
  table.entries[0] =
      PadToWidth(address.substr(0, std::min(address.size(), kAddressWidth)), kAddressWidth);
  table.current = 1;
  table.fixed = true;
  table.refreshAllowed = false;
}

void SETTCPPORT(ServerAddressTable& table, std::uint16_t port) { table.tcpPort = port; }

std::string CurrentEntry(const ServerAddressTable& table) {
  if (table.current < 1 || table.current > kAddressEntries) return BlankEntry();
  return table.entries[table.current - 1];
}

std::string_view AddressPart(std::string_view entry) { return entry.substr(0, entry.find(' ')); }

std::array<std::string, kAddressEntries> ParseLibraryAddressText(std::string_view buffer,
                                                                 int count) {
  std::array<std::string, kAddressEntries> entries;
  entries.fill(BlankEntry());
  const std::string_view text =
      buffer.substr(0, std::min<std::size_t>({buffer.size(), kLibraryTextWidth,
                                              static_cast<std::size_t>(std::max(count, 0))}));
  std::size_t start = 0;  // 0-based here
  int filled = 0;
  while (filled < kAddressEntries && start < text.size()) {
    const std::size_t cr = text.find('\r', start);
    if (cr == std::string_view::npos) {
      entries[filled++] = PadToWidth(text.substr(start), kAddressWidth);
      break;
    }
    entries[filled++] = PadToWidth(text.substr(start, cr - start), kAddressWidth);
    start = cr + 2;  // the carriage return and the character after it
  }
  return entries;
}

std::string JoinLibraryAddressText(const std::vector<std::string>& addresses) {
  std::string text;
  int n = 0;
  for (const auto& address : addresses) {
    const std::string_view trimmed = TrimTrailingBlanks(address);
    if (trimmed.empty()) continue;
    if (n == kAddressEntries) break;
    if (n > 0) text += "\r\n";
    text += trimmed.substr(0, kAddressWidth);
    ++n;
  }
  return text.substr(0, std::min(text.size(), kLibraryTextWidth));
}

}  // namespace velmora::link
