#include "rates/date_text.h"

#include <optional>

#include "common/fixed_text.h"

namespace velmora::rates {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
int DigitAt(std::string_view t, std::size_t i) { return t[i] - '0'; }

// A day or month of one or two digits at `at`, followed by a non-digit.
// Returns the value and moves `at` past the separator.
std::optional<int> SmallNumber(std::string_view t, std::size_t& at, int highest) {
  if (at >= t.size() || !IsDigit(t[at])) return std::nullopt;
  if (at + 1 < t.size() && IsDigit(t[at + 1])) {
    if (at + 2 < t.size() && IsDigit(t[at + 2])) return std::nullopt;
    const int value = DigitAt(t, at) * 10 + DigitAt(t, at + 1);
    at += 3;
    if (value < 1 || value > highest) return std::nullopt;
    return value;
  }
  const int value = DigitAt(t, at);
  at += 2;
  if (value == 0) return std::nullopt;
  return value;
}

// An integer field as a formatted read takes it: blanks ignored, an optional
// sign, then digits only.
std::optional<int> IntegerField(std::string_view field) {
  int value = 0;
  int sign = 1;
  bool digits = false;
  bool signAllowed = true;
  for (const char c : field) {
    if (c == ' ') continue;
    if (signAllowed && (c == '+' || c == '-')) {
      sign = c == '-' ? -1 : 1;
      signAllowed = false;
      continue;
    }
    if (!IsDigit(c)) return std::nullopt;
    value = value * 10 + (c - '0');
    digits = true;
    signAllowed = false;
  }
  if (!digits) return std::nullopt;
  return sign * value;
}

std::optional<int> YearField(std::string_view rest) {
  if (auto year = IntegerField(rest.substr(0, 4))) return year;
  return IntegerField(rest.substr(0, 2));
}

constexpr int kMonthDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

}  // namespace

bool ParseDateText(std::string_view text, int32_t& date) {
  const std::size_t n = TrimmedLength(text);
  if (n == 0) {
    date = 0;
    return true;
  }
  if (n < 6 || n > 10) return false;
  const std::string_view significant = text.substr(0, n);
  std::size_t at = 0;
  const std::optional<int> day = SmallNumber(significant, at, 31);
  if (!day) return false;
  const std::optional<int> month = SmallNumber(significant, at, 12);
  if (!month || *day > kMonthDays[*month - 1]) return false;
  if (at >= n) return false;
  const std::optional<int> year = YearField(text.substr(at));
  if (!year) return false;
  if (!((*year >= 0 && *year <= 99) || (*year >= 1901 && *year <= 2099))) return false;
  if (*day == 29 && *month == 2 && *year % 4 != 0) return false;
  const int fullYear = *year < 100 ? 2000 + *year : *year;
  date = fullYear * 10000 + *month * 100 + *day;
  return true;
}

}  // namespace velmora::rates
