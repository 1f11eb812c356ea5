#pragma once
// What a request payload says: a three-digit code and a blank, then a body
// whose meaning depends on the code.

#include <optional>
#include <string>
#include <string_view>

namespace velmora::server {

struct Request {
  std::string_view code;  // the three digits, e.g. "903"
  std::string_view body;  // everything after the code and its blank
};

// Splits a payload; nothing when it does not begin with three digits and a blank.
std::optional<Request> ParseRequest(std::string_view payload);

// The qualification body: a 10-character client code text, a blank, then the
// program name and the client information ("VELMORA.exe (07.12.2026 PC C:\ERP\ fix)").
struct Qualification {
  std::string client_code;  // digits only, empty when the text holds none
  std::string identity;     // the rest, trailing blanks removed
};
Qualification ParseQualification(std::string_view body);

// The client code of a blank-padded code text: its digits when the trimmed
// text is 1 to 10 decimal digits, otherwise empty. Only such codes ever name
// a folder.
std::string ClientCodeFromText(std::string_view text);

// `text` with control bytes shown as '?', so one request stays one log line.
std::string PrintableForLog(std::string_view text, std::size_t max_length = 300);

}  // namespace velmora::server
