// Request codes, the qualification line and client codes.
#include "server/request.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace velmora::server {
namespace {

using namespace std::string_literals;

TEST(ParseRequest, CodeIsThreeDigitsAndABlank) {
  struct Case {
    std::string payload;
    const char* code;  // nullptr: not a request
    const char* body;
  };
  const std::vector<Case> cases = {
      {"903 hotnews.txt", "903", "hotnews.txt"},
      {"918 4711", "918", "4711"},
      {"000 ", "000", ""},
      {"915 two  blanks ", "915", "two  blanks "},
      {"901 \0\1\2"s, "901", "\0\1\2"},
      {"903", nullptr, nullptr},
      {"903hotnews.txt", nullptr, nullptr},
      {"9O3 x", nullptr, nullptr},
      {" 903 x", nullptr, nullptr},
      {"abc x", nullptr, nullptr},
      {"", nullptr, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.payload));
    const auto r = ParseRequest(c.payload);
    if (!c.code) {
      EXPECT_FALSE(r.has_value());
      continue;
    }
    ASSERT_TRUE(r.has_value());
    EXPECT_EQ(r->code, c.code);
    EXPECT_EQ(r->body, c.payload.substr(4));
  }
}

TEST(ParseQualification, SplitsCodeAndIdentity) {
  // "000 ", then the 10-character code text, a blank, the program and its information.
  const std::string line = "000 12345      VELMORA.exe (07.12.2026 BIROU-01 C:\\ERP\\ fix)";
  const auto r = ParseRequest(line);
  ASSERT_TRUE(r.has_value());
  const Qualification q = ParseQualification(r->body);
  EXPECT_EQ(q.client_code, "12345");
  EXPECT_EQ(q.identity, "VELMORA.exe (07.12.2026 BIROU-01 C:\\ERP\\ fix)");

  EXPECT_EQ(ParseQualification("1234567890 x.exe ()").client_code,
            "1234567890");                                    // the "unknown" code
  EXPECT_EQ(ParseQualification("4711").client_code, "4711");  // cut short
  EXPECT_EQ(ParseQualification("4711").identity, "");
  EXPECT_EQ(ParseQualification("ab12      x.exe ()").client_code, "");
}

TEST(ClientCodeFromText, OnlyDecimalDigitsNameAClient) {
  EXPECT_EQ(ClientCodeFromText("4711      "), "4711");
  EXPECT_EQ(ClientCodeFromText("  4711"), "4711");
  EXPECT_EQ(ClientCodeFromText("1234567890"), "1234567890");
  EXPECT_EQ(ClientCodeFromText("12345678901"), "");
  EXPECT_EQ(ClientCodeFromText("47 11"), "");
  EXPECT_EQ(ClientCodeFromText("-4711"), "");
  EXPECT_EQ(ClientCodeFromText("../1"), "");
  EXPECT_EQ(ClientCodeFromText("          "), "");
}

TEST(PrintableForLog, KeepsOneLine) {
  EXPECT_EQ(PrintableForLog("a\r\nb\0c"s), "a??b?c");
  EXPECT_EQ(PrintableForLog("\xE2\xEE"), "\xE2\xEE");  // code page 1250 letters stay
  EXPECT_EQ(PrintableForLog("abcdef", 3), "abc...");
}

}  // namespace
}  // namespace velmora::server
