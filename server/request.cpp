#include "server/request.h"

#include <algorithm>

#include "common/fixed_text.h"

namespace velmora::server {

namespace {
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
constexpr std::size_t kClientCodeWidth = 10;
}  // namespace

std::optional<Request> ParseRequest(std::string_view payload) {
  if (payload.size() < 4) return std::nullopt;
  if (!IsDigit(payload[0]) || !IsDigit(payload[1]) || !IsDigit(payload[2]) || payload[3] != ' ')
    return std::nullopt;
  return Request{payload.substr(0, 3), payload.substr(4)};
}

std::string ClientCodeFromText(std::string_view text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  const std::string_view code = TrimTrailingBlanks(text.substr(first));
  if (code.empty() || code.size() > kClientCodeWidth) return {};
  for (char c : code)
    if (!IsDigit(c)) return {};
  return std::string(code);
}

Qualification ParseQualification(std::string_view body) {
  Qualification q;
  q.client_code = ClientCodeFromText(body.substr(0, std::min(body.size(), kClientCodeWidth)));
  if (body.size() > kClientCodeWidth + 1)
    q.identity = std::string(TrimTrailingBlanks(body.substr(kClientCodeWidth + 1)));
  return q;
}

std::string PrintableForLog(std::string_view text, std::size_t max_length) {
  std::string out;
  const std::size_t n = std::min(text.size(), max_length);
  out.reserve(n + 3);
  for (std::size_t i = 0; i < n; ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    out.push_back(c < 0x20 || c == 0x7F ? '?' : text[i]);
  }
  if (text.size() > max_length) out += "...";
  return out;
}

}  // namespace velmora::server
