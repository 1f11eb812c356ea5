// The postman's portable decisions: the pass period, the message check, which
// directory entries are outgoing files, their order and the request check.

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "postman/pass_rules.h"

namespace velmora::postman {
namespace {

TEST(PassPeriod, FailedPassesGrowBy8SecondsAndFallBackTo100AfterPassing120) {
  // Without a client code every pass fails: the waits between passes.
  const std::vector<int32_t> expected = {8000,   16000,  24000,  32000,  40000, 48000,  56000,
                                         64000,  72000,  80000,  88000,  96000, 104000, 112000,
                                         120000, 100000, 108000, 116000, 100000};
  std::vector<int32_t> waits;
  int32_t period = kFirstPassPeriodMs;
  for (std::size_t pass = 0; pass < expected.size(); ++pass) {
    waits.push_back(period);  // the pass arms its timer before the period moves on
    period = NextPassPeriod(period, kPassNoClientCode);
  }
  EXPECT_EQ(waits, expected);
}

TEST(PassPeriod, AGoodPassResetsTo7SecondsWhateverTheResultBefore) {
  const struct {
    int32_t period;
    int16_t result;
    int32_t next;
  } cases[] = {
      {120000, kPassDone, 7000},           {7000, kPassDone, 7000},
      {7000, kPassNotReady, 15000},        {112000, kPassNothingToSend, 120000},
      {120000, kPassNoConnection, 100000},
  };
  for (const auto& c : cases)
    EXPECT_EQ(NextPassPeriod(c.period, c.result), c.next) << c.period << " " << c.result;
}

TEST(MessageCheck, EveryHundredAndTwentiethPassIsDueAndRestartsTheCount) {
  int16_t counter = 0;
  std::vector<int> duePasses;
  for (int pass = 1; pass <= 360; ++pass)
    if (CountMessagePass(counter)) duePasses.push_back(pass);
  EXPECT_EQ(duePasses, (std::vector<int>{120, 240, 360}));
  EXPECT_EQ(counter, 0);
}

TEST(OutgoingEntry, DirectoriesAreSkippedWhateverTheirOtherAttributes) {
  const struct {
    uint32_t attributes;
    bool listed;
  } cases[] = {{0x10, false}, {0x11, false}, {0x12, false}, {0x30, false},
               {0x20, true},  {0x80, true},  {0x01, true},  {0x00, true}};
  for (const auto& c : cases)
    EXPECT_EQ(IsOutgoingEntry(c.attributes), c.listed) << std::hex << c.attributes;
}

TEST(RequestCheck, SizeLimitLiesAt9935760Bytes) {
  EXPECT_EQ(SizeVerdict(9935759), 0);
  EXPECT_EQ(SizeVerdict(9935760), kLoadNotARequest);
  EXPECT_EQ(SizeVerdict(uint64_t{1} << 33), kLoadNotARequest);
}

TEST(RequestCheck, ThreeDigitsAndABlankOpenARequest) {
  const struct {
    std::string bytes;
    bool request;
  } cases[] = {{"915 salut", true}, {"000 ", true},
               {"915", false},      {"", false},
               {"91a x", false},    {"9150x", false},
               {"/15 x", false},    {":15 x", false},
               {" 915 ", false},    {std::string("9\0 5 ", 5), false}};
  for (const auto& c : cases) EXPECT_EQ(StartsWithRequestCode(c.bytes), c.request) << c.bytes;
}

TEST(OutgoingOrder, OlderCreationTimeGoesFirst) {
  constexpr uint64_t kHour = 36000000000ULL;
  std::vector<OutgoingFile> files = {{"C:\\OUT\\ten.dat", 10 * kHour},
                                     {"C:\\OUT\\nine.dat", 9 * kHour}};
  SortOldestFirst(files);
  EXPECT_EQ(files[0].path, "C:\\OUT\\nine.dat");
  EXPECT_EQ(files[1].path, "C:\\OUT\\ten.dat");
}

TEST(OutgoingOrder, ManyFilesEndSortedByTimeThenName) {
  std::mt19937 random(7);
  std::vector<OutgoingFile> files;
  for (int i = 0; i < 2000; ++i)
    files.push_back({"f" + std::to_string(random() % 500), random() % 300});
  SortOldestFirst(files);
  EXPECT_TRUE(
      std::is_sorted(files.begin(), files.end(), [](const OutgoingFile& a, const OutgoingFile& b) {
        return a.created != b.created ? a.created < b.created : a.path < b.path;
      }));
}

TEST(OutgoingOrder, BaseNameIsWhatFollowsTheLastBackslash) {
  EXPECT_EQ(BaseName("C:\\S\\ERP\\OUT\\pMsg_1.dat"), "pMsg_1.dat");
  EXPECT_EQ(BaseName("plain.dat"), "plain.dat");
  EXPECT_EQ(BaseName("C:\\OUT\\"), "");
}

}  // namespace
}  // namespace velmora::postman
