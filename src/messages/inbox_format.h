#pragma once
// The two message formats, without any Windows call: the outgoing message
// file that the postman sends ("915 " and the text) and the archive
// inbox.dat, whose entries are appended one after the other and read back
// line by line.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::messages {

// A local date and time as the clock gives it.
struct StampTime {
  int year, month, day, hour, minute, second;
};

inline constexpr std::size_t kDateLineLength = 20;        // "2024.03.05  14:30:12"
inline constexpr std::size_t kMaxArchivedMessage = 1978;  // so that a body holds at most 2000 bytes
inline constexpr std::size_t kAuthorFieldLength = 12;
inline constexpr char kVendorAuthor[] = "Corvane";

// "pMsg_YYYYMMDDHHMMSS.dat"; a nonzero `attempt` gives the free names of the
// same form tried when that one is taken: "pMsg_YYYYMMDDHHMMSS_2.dat", ...
std::string OutgoingFileName(const StampTime& t, int attempt = 0);

// The 22-byte stamp: "YYYY.MM.DD  HH:MM:SS" and CR LF.
std::string MessageStamp(const StampTime& t);

// Content of the outgoing file: "915 " and the text without trailing blanks.
std::string OutgoingFileContent(std::string_view text);

// The client code left-aligned in a 12-byte blank-padded field.
std::string OwnAuthor(int32_t clientCode);

// The stamp and the text without trailing blanks, cut to 1978 bytes.
std::string OwnBody(const StampTime& t, std::string_view text);

// The bytes of one archive entry: "!---", the author exactly as given, CR LF,
// the date line (the body's first 20 bytes, or the whole of a shorter body),
// CR LF, the rest of the body, CR LF.
std::string InboxEntryBytes(std::string_view body, std::string_view author);

struct InboxEntry {
  std::string author;    // up to 996 characters
  std::string dateLine;  // up to 1000 characters
  std::string message;   // up to 2000 characters, lines joined by CR LF
  bool operator==(const InboxEntry&) const = default;
};

inline constexpr std::size_t kMaxLineLength = 1000;
inline constexpr std::size_t kMaxMessageLength = 2000;

// The entries of an archive in file order. An entry starts at every line that
// begins with "!---"; the first two lines start the first entry even without
// it. An empty archive holds no entry.
std::vector<InboxEntry> ParseInbox(std::string_view bytes);

}  // namespace velmora::messages
