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
    {"Bucure\xBAti  ", L"Bucure\u015Fti  "},                          // trailing blanks kept
    {"4\xB0" "C \x80", L"4\u00B0C \u20AC"},                           // ° and the euro sign
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
      {L"\u0218\u0219\u021A\u021B", "\xAA\xBA\xDE\xFE"},       // Ș ș Ț ț
      {L"\u0218tiin\u021B\u0103", "\xAAtiin\xFE\xE3"},         // Știință
      {L"ni\u00F1o \u0416 \u4E2D", "ni?o ? ?"},                // ñ, Ж and 中: no look-alikes
  };
  for (const auto& c : cases) EXPECT_EQ(Cp1250FromWide(c.wide), c.bytes);
}

TEST(WideText, AWindowTextRoundTripsThroughTheWCalls) {
  const HWND edit = CreateWindowExW(0, L"EDIT", L"", WS_POPUP, 0, 0, 100, 20, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(edit, nullptr);
  ASSERT_TRUE(SetWindowText1250(edit, "\xAAtiin\xFE\xE3 \xBAi \xFE" "ar\xE3 "));
  wchar_t shown[64] = {};
  GetWindowTextW(edit, shown, 64);
  EXPECT_STREQ(shown, L"\u015Etiin\u0163\u0103 \u015Fi \u0163ar\u0103 ");
  SetWindowTextW(edit, L"\u021Bar\u0103");
  EXPECT_EQ(WindowText1250(edit), "\xFE" "ar\xE3");
  DestroyWindow(edit);
}

}  // namespace
}  // namespace velmora
