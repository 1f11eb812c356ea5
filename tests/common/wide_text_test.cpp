// Code page 1250 bytes to UTF-16 and back, whatever the system's code page.

#include "common/wide_text.h"

#include <gtest/gtest.h>

#include <string>

namespace velmora {
namespace {

struct BothWays {
  const char* bytes;
  const wchar_t* wide;
};
constexpr BothWays kBothWays[] = {
    {"", L""},
    {"\xE3\xE2\xEE\xBA\xFE", L"\u0103\u00E2\u00EE\u015F\u0163"},  // ă â î ş ţ
    {"\xC3\xC2\xCE\xAA\xDE", L"\u0102\u00C2\u00CE\u015E\u0162"},  // Ă Â Î Ş Ţ
    {"Bucure\xBAti  ", L"Bucure\u015Fti  "},                      // trailing blanks kept
    {"4\xB0"
     "C \x80",
     L"4\u00B0C \u20AC"},  // ° and the euro sign
};

TEST(WideText, RomanianLettersConvertBothWays) {
  for (const BothWays& c : kBothWays) {
    EXPECT_EQ(WideFromCp1250(c.bytes), c.wide) << c.bytes;
    EXPECT_EQ(Cp1250FromWide(c.wide), c.bytes) << c.bytes;
  }
}

TEST(WideText, CommaBelowLettersAreWrittenAsTheirCedillaFormsAndOthersAsQuestionMarks) {
  const struct {
    const wchar_t* wide;
    const char* bytes;
  } cases[] = {
      {L"\u0218\u0219\u021A\u021B", "\xAA\xBA\xDE\xFE"},  // Ș ș Ț ț
      {L"\u0218tiin\u021B\u0103", "\xAAtiin\xFE\xE3"},    // Știință
      {L"ni\u00F1o \u0416 \u4E2D", "ni?o ? ?"},           // ñ, Ж and 中: no look-alikes
  };
  for (const auto& c : cases) EXPECT_EQ(Cp1250FromWide(c.wide), c.bytes);
}

}  // namespace
}  // namespace velmora
