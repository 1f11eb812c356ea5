#include "rates/free_number.h"

#include <charconv>
#include <string>

namespace velmora::rates {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Sign, digits with at most one point (at least one digit), then optionally
// an exponent: E or D, an optional sign and digits. Nothing else.
bool IsWellFormedReal(std::string_view t) {
  std::size_t i = 0;
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
  std::size_t digits = 0;
  bool point = false;
  for (; i < t.size(); ++i) {
    if (IsDigit(t[i])) {
      ++digits;
    } else if (t[i] == '.' && !point) {
      point = true;
    } else {
      break;
    }
  }
  if (digits == 0) return false;
  if (i == t.size()) return true;
  if (t[i] != 'E' && t[i] != 'e' && t[i] != 'D' && t[i] != 'd') return false;
  ++i;
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
  const std::size_t exponentStart = i;
  while (i < t.size() && IsDigit(t[i])) ++i;
  return i > exponentStart && i == t.size();
}

}  // namespace

bool ReadFreeNumber(std::string_view text, double& value) {
  const std::size_t start = text.find_first_not_of(' ');
  if (start == std::string_view::npos) return false;
  const std::size_t end = text.find_first_of(" ,/", start);
  const std::string_view token =
      text.substr(start, end == std::string_view::npos ? end : end - start);
  if (!IsWellFormedReal(token)) return false;
  std::string normal(token);
  for (char& c : normal)
    if (c == 'D' || c == 'd') c = 'e';
  const char* first = normal.data();
  if (*first == '+') ++first;
  double parsed = 0;
  const auto [stop, error] = std::from_chars(first, normal.data() + normal.size(), parsed);
  if (error != std::errc{} || stop != normal.data() + normal.size()) return false;
  value = parsed;
  return true;
}

}  // namespace velmora::rates
