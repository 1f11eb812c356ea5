// The exchange-rate file's record logic: the date and number texts of the
// news, the checks before a merge, and the merge itself on byte images.

#include <gtest/gtest.h>

#include <string>

#include "cursval_image.h"
#include "rates/cursval_merge.h"
#include "rates/date_text.h"
#include "rates/free_number.h"

namespace velmora::rates {
namespace {

using testing::Image;
using testing::Rate;

// The text blank-padded to the field's width (a longer one is kept whole).
std::string Field(std::string text, std::size_t width) {
  if (text.size() < width) text.resize(width, ' ');
  return text;
}

TEST(ParseDateText, DateTextsOfTheNews) {
  struct Case {
    const char* text;
    bool ok;
    int32_t date;  // 0 when the parse fails (the value then stays as it was)
  };
  const Case cases[] = {
      {"5.3.24", true, 20240305},
      {"05/03/2024", true, 20240305},
      {"29.02.2024", true, 20240229},
      {"29.02.2023", false, 0},
      {"31.04.2024", false, 0},
      {"1.13.2024", false, 0},
      {"123.1.2024", false, 0},
      {"01.01.1899", false, 0},
      {"01.01.1989", true, 19890101},
      {"01.01.00", true, 20000101},
      {"", true, 0},
      {"8 12 2026", true, 20261208},
      {"0.1.2024", false, 0},
      {"1.0.2024", false, 0},
      {"00.01.2024", false, 0},
      {"32.01.2024", false, 0},
      {"1.1.24ab", true, 20240101},
      {"1.1.ab", false, 0},
      {"11.11.", false, 0},
      {"1.1.1", false, 0},
      {"1.1.2100", false, 0},
      {"1.1.1901", true, 19010101},
      {"1.1.100", false, 0},
      {"29.2.00", true, 20000229},
      {"01.01.2024xyz", false, 0},
      {"a1.01.2024", false, 0},
      {"1.1.-5", false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    int32_t date = -7;
    EXPECT_EQ(ParseDateText(Field(c.text, 10), date), c.ok);
    EXPECT_EQ(date, c.ok ? c.date : -7);
  }
}

TEST(ReadFreeNumber, NumbersEndAtABlankACommaOrASlash) {
  struct Case {
    const char* text;
    bool ok;
    double value;
  };
  const Case cases[] = {
      {"4.9512", true, 4.9512}, {"   4.9512  ", true, 4.9512},
      {"4,9512", true, 4},      {"4/5", true, 4},
      {"3.9 x", true, 3.9},     {"-1.5", true, -1.5},
      {"+2", true, 2},          {".5", true, 0.5},
      {"5.", true, 5},          {"1E2", true, 100},
      {"2.5d-1", true, 0.25},   {"", false, 0},
      {"   ", false, 0},        {"abc", false, 0},
      {"4.95x", false, 0},      {",4", false, 0},
      {"1.2.3", false, 0},      {"inf", false, 0},
      {"nan", false, 0},        {"1e", false, 0},
      {"-", false, 0},          {".", false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    double value = -99;
    EXPECT_EQ(ReadFreeNumber(c.text, value), c.ok);
    EXPECT_EQ(value, c.ok ? c.value : -99);
  }
}

TEST(RatesFromNews, StoredValuesAreTruncatedProducts) {
  const auto rates = RatesFromNews("08.12.2026", "4.9773", "4.9512");
  ASSERT_TRUE(rates);
  EXPECT_EQ(rates->date, 20261208);
  EXPECT_EQ(rates->euroValue, 49772);  // 49772.99999999999 as a double
  EXPECT_EQ(rates->usdValue, 49512);
}

TEST(RatesFromNews, TextsThatStopTheUpdate) {
  struct Case {
    const char *date, *euro, *usd;
  };
  const Case cases[] = {
      {"01.01.1989", "4.9", "3.9"},  // parses, but before 1990
      {"31.04.2024", "4.9", "3.9"},  // no such date: the date stays 0
      {"", "4.9", "3.9"},            // blank date
      {"1.1.24", "0.001", "3.9"},    // not above 0.001
      {"1.1.24", "4.9", "-3"},      {"1.1.24", "x", "3.9"},
      {"1.1.24", "4.9", ""},        {"1.1.24", "999999999", "3.9"},  // does not fit the file
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.date) + "|" + c.euro + "|" + c.usd);
    EXPECT_FALSE(RatesFromNews(c.date, c.euro, c.usd));
  }
  EXPECT_TRUE(RatesFromNews("1.1.24", "0.0011", "4,9"));
}

// Rates of the merge below: USD 3.9000 and EURO 4.9512 on 2024-03-05.
constexpr int32_t kDay = 20240305;
const NewsRates kNews{kDay, 49512, 39000};
const Rate kNewUsd{1, kDay, 39000};
const Rate kNewEuro{2, kDay, 49512};

Image Merged(const Image& before) {
  const auto after = MergeCursValImage(testing::Bytes(before), kNews);
  if (!after) return Image{-1, 0, 0, 0, {}, {}};
  return testing::Parse(*after);
}

TEST(MergeCursValImage, TheNewRateTakesItsPlaceByDateInItsCurrency) {
  const Rate usdEarly{1, 20240101, 38000}, usdLate{1, 20240401, 41000},
      eurEarly{2, 20240101, 48000};
  const Rate eurSame{2, kDay, 11111}, eurLate{2, 20240601, 50000};
  struct Case {
    const char* name;
    std::vector<Rate> before, after;
  };
  const Case cases[] = {
      {"before all", {usdLate, eurLate}, {kNewUsd, usdLate, kNewEuro, eurLate}},
      {"between",
       {usdEarly, usdLate, eurEarly, eurLate},
       {usdEarly, kNewUsd, usdLate, eurEarly, kNewEuro, eurLate}},
      {"in place",
       {eurEarly, eurSame, eurLate, usdLate},
       {kNewUsd, usdLate, eurEarly, kNewEuro, eurLate}},
      {"a second record of the same date is dropped",
       {usdLate, eurSame, eurSame},
       {kNewUsd, usdLate, kNewEuro}},
  };
  const std::vector<Rate> block = {{1, 20240101, 38000}, {2, 20240101, 48000}, {7, 20240101, 5}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Image after = Merged({static_cast<int32_t>(c.before.size()), 1, 0, 0, block, c.before});
    EXPECT_EQ(after.rates, c.after);
    EXPECT_EQ(after.count, static_cast<int32_t>(c.after.size()));
    EXPECT_EQ(std::vector<Rate>(after.block.begin(), after.block.begin() + 3), block);
  }
}

TEST(MergeCursValImage, ARateLaterThanAllOfItsCurrencyIsAppendedAndUpdatesTheBlock) {
  const Rate usdOld{1, 20240101, 38000}, eurLate{2, 20240601, 50000};
  const Image after =
      Merged({2, 1, 0, 0, {{1, 1, 1}, {2, 2, 2}, {1, 3, 3}, {9, 4, 4}}, {usdOld, eurLate}});
  EXPECT_EQ(after.rates, (std::vector<Rate>{usdOld, kNewUsd, kNewEuro, eurLate}));
  // Only the USD block records change: the EURO rate went before a later one.
  EXPECT_EQ(std::vector<Rate>(after.block.begin(), after.block.begin() + 5),
            (std::vector<Rate>{kNewUsd, {2, 2, 2}, kNewUsd, {9, 4, 4}, {0, 0, 0}}));
}

TEST(MergeCursValImage, AnEmptyFileGetsOneRecordOfEachAndItsBlockTakesBoth) {
  const Image after = Merged({0, 1, 0, 0, {{2, 5, 5}, {1, 6, 6}, {3, 7, 7}}, {}});
  EXPECT_EQ(after.count, 2);
  EXPECT_EQ(after.rates, (std::vector<Rate>{kNewUsd, kNewEuro}));
  EXPECT_EQ(std::vector<Rate>(after.block.begin(), after.block.begin() + 3),
            (std::vector<Rate>{kNewEuro, kNewUsd, {3, 7, 7}}));
}

TEST(MergeCursValImage, OtherCurrenciesComeFirstAndTheHeaderKeepsOnlyItsPermission) {
  const Rate chf{5, 20240102, 45000}, gbp{3, 20240101, 57000}, usd{1, 20240101, 38000};
  const Image after = Merged({3, 1, 77, -3, {}, {chf, usd, gbp}});
  EXPECT_EQ(after.rates, (std::vector<Rate>{chf, gbp, usd, kNewUsd, kNewEuro}));
  EXPECT_EQ(after.count, 5);
  EXPECT_EQ(after.permission, 1);
  EXPECT_EQ(after.field6, 0);
  EXPECT_EQ(after.field8, 0);
}

TEST(MergeCursValImage, RecordsBeyondTheCountAreNotCarriedOver) {
  const Rate usd{1, 20240101, 38000}, stray{3, 20240101, 1};
  const Image after = Merged({1, 1, 0, 0, {}, {usd, stray}});
  EXPECT_EQ(after.rates, (std::vector<Rate>{usd, kNewUsd, kNewEuro}));
}

TEST(MergeCursValImage, ADamagedFileIsRefused) {
  const std::string whole = testing::Bytes({2, 1, 0, 0, {}, {{1, 20240101, 1}, {2, 20240101, 2}}});
  struct Case {
    const char* name;
    std::string bytes;
  };
  const Case cases[] = {
      {"empty", ""},
      {"shorter than the block", whole.substr(0, 199)},
      {"count beyond the records", whole.substr(0, whole.size() - 1)},
      {"negative count", testing::Bytes({-1, 1, 0, 0, {}, {}})},
      {"huge count", testing::Bytes({0x7FFFFFFF, 1, 0, 0, {}, {}})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_FALSE(MergeCursValImage(c.bytes, kNews));
  }
}

}  // namespace
}  // namespace velmora::rates
