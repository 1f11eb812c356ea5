// The news answer split at its tags, the age and completeness of the news
// cache and its file image, and the "918" request and answer.

#include <gtest/gtest.h>

#include <string>

#include "postman/news_rules.h"
#include "postman/news_tags.h"

namespace velmora::postman {
namespace {

std::string Trimmed(const std::string& field) {
  return field.substr(0, field.find_last_not_of(' ') + 1);
}

struct Shown {
  std::string date, euro, usd, weather, text;
};

Shown Split(const std::string& answer) {
  NewsFields fields = InitialNewsFields();
  SplitNewsTags(answer, fields);
  return {Trimmed(fields.date), Trimmed(fields.euro), Trimmed(fields.usd), Trimmed(fields.weather),
          Trimmed(fields.text)};
}

const char kFailure[] = "Eroare de sincronizare cu serverul CORVANE!";

TEST(SplitNewsTags, EachFieldTakesTheTextBetweenItsTags) {
  struct Case {
    const char* name;
    std::string answer;
    Shown shown;
  };
  const Case cases[] = {
      {"all five",
       "<DATA>08.12.2026</DATA><EURO>4.9741</EURO><USD>4.2650</USD><VREMEA>ger</VREMEA><TEXT>abc</"
       "TEXT>",
       {"08.12.2026", "4.9741", "4.2650", "ger", "abc"}},
      {"only EURO, USD and TEXT",
       "<EURO>4.9512</EURO>\r\n<USD>3.9000</USD><TEXT>abc</TEXT>",
       {"-", "4.9512", "3.9000", "-", "abc"}},
      {"closing tag first", "</EURO>4.9<EURO>5.0", {"-", "-", "-", "-", kFailure}},
      {"opening tag only", "<USD>4.1 <TEXT>x", {"-", "-", "-", "-", kFailure}},
      {"empty between", "<USD></USD>", {"-", "-", "", "-", kFailure}},
      {"long texts are cut",
       "<DATA>08.12.2026xx</DATA><EURO>1234567890123</EURO>",
       {"08.12.2026", "123456789012", "-", "-", kFailure}},
      {"lines stay in the text", "<TEXT>a\r\nb</TEXT>", {"-", "-", "-", "-", "a\r\nb"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Shown shown = Split(c.answer);
    EXPECT_EQ(shown.date, c.shown.date);
    EXPECT_EQ(shown.euro, c.shown.euro);
    EXPECT_EQ(shown.usd, c.shown.usd);
    EXPECT_EQ(shown.weather, c.shown.weather);
    EXPECT_EQ(shown.text, c.shown.text);
  }
}

TEST(SplitNewsTags, AWeatherTextOf256CharactersIsCutAt255) {
  const std::string weather = std::string(255, 'w') + "X";
  NewsFields fields = InitialNewsFields();
  SplitNewsTags("<VREMEA>" + weather + "</VREMEA>", fields);
  EXPECT_EQ(fields.weather, weather.substr(0, 255));
}

constexpr int64_t kMinute = 60LL * 1000 * 10'000;  // in FILETIME units
constexpr int64_t kNow = 134'000'000'000'000'000LL;
const std::string kComplete = "<EURO>4</EURO><USD>3</USD><TEXT>t</TEXT>";

TEST(NewsCacheIsStale, AYoungCompleteCacheSavesTheFetch) {
  struct Case {
    const char* name;
    int64_t age;
    std::string text;
    bool stale;
  };
  const Case cases[] = {
      {"1 h 59 min", 119 * kMinute, kComplete, false},
      {"just under 2 h", 120 * kMinute - 10'000, kComplete, false},
      {"2 h", 120 * kMinute, kComplete, true},
      {"clock set back", -600 * kMinute, kComplete, false},
      {"no cache yet", kNow, std::string(5000, ' '), true},
      {"no <USD>", kMinute, "<EURO>4</EURO><TEXT>t</TEXT>", true},
      {"no <EURO>", kMinute, "<USD>3</USD><TEXT>t</TEXT>", true},
      {"no <TEXT>", kMinute, "<EURO>4</EURO><USD>3</USD>", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(NewsCacheIsStale(kNow, kNow - c.age, c.text), c.stale);
  }
  EXPECT_TRUE(NewsCacheIsStale(kNow, INT64_MIN, kComplete));  // a damaged stamp
}

TEST(NewsCacheImage, StampLittleEndianThen5000BlankPaddedCharactersWithoutZeros) {
  const int64_t stamp = 0x0123456789ABCDEFLL;
  const std::string image = NewsCacheImage(stamp, NewsCacheText(std::string("a\0b", 3)));
  ASSERT_EQ(image.size(), 5008u);
  EXPECT_EQ(image.substr(0, 8), "\xEF\xCD\xAB\x89\x67\x45\x23\x01");
  EXPECT_EQ(image.substr(8, 4), "a b ");
  EXPECT_EQ(image.find_first_not_of(' ', 11), std::string::npos);
  EXPECT_EQ(NewsCacheStamp(image), stamp);
  EXPECT_EQ(NewsCacheText(std::string(6000, 'n')), std::string(5000, 'n'));
}

TEST(MessageRequest, CodeLeftAdjustedIn20Characters) {
  EXPECT_EQ(MessageRequest(4711), "918 4711            ");
  EXPECT_EQ(MessageRequest(-5), "918 -5              ");
}

TEST(MessageFromAnswer, LinesJoinedByTwoAtSignsBecomeLines) {
  struct Case {
    std::string answer, text;
  };
  const Case cases[] = {
      {"2026.12.08  09:30:00Buna ziua@@Factura e gata   ",
       "2026.12.08  09:30:00Buna ziua\r\nFactura e gata"},
      {"a@@@b", "a\r\n@b"},
      {"@@@@", "\r\n\r\n"},
      {std::string(999, 'x') + "@@", std::string(999, 'x') + "@"},  // only 1000 characters are kept
  };
  for (const Case& c : cases) EXPECT_EQ(MessageFromAnswer(c.answer), c.text);
}

}  // namespace
}  // namespace velmora::postman
