// The schedule's lines as the loader and the asset pass read them: the slide
// table, sound names, counts and lines without a number, and what the asset
// pass plans to fetch.

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "update/asset_plan.h"
#include "update/slide_table.h"

namespace velmora::update {
namespace {

std::string OneEntry(const std::string& picture, const std::string& period = "100",
                     const std::string& size = "1") {
  return "1\r\n" + picture + "\r\ncaption\r\n" + period + "\r\n" + size + "\r\n";
}

TEST(ScheduleLoader, FillsEverySlideFromItsFourLines) {
  const std::string text =
      "2\r\n"
      "tw01.jpg\r\n"
      "Bun venit@@in Vantor   \r\n"
      "5000\r\n"
      "12345\r\n"
      "pic2.png\r\n"
      "a@@@@b@@\r\n"
      "  7000\r\n"
      "99\r\n";
  const SlideTable t = ParseSchedule(text, "C:\\S\\ERP");
  ASSERT_EQ(t.count, 2);
  EXPECT_EQ(t.current, 0);
  EXPECT_EQ(t.at(1).imageName, "C:\\S\\ERP\\tw01.jpg");
  EXPECT_EQ(t.at(1).detailBase, "C:\\S\\ERP\\tw01.jpgex");
  EXPECT_EQ(t.at(1).soundName, "C:\\S\\ERP\\tw01.wav");
  EXPECT_EQ(t.at(1).caption, "Bun venit\r\nin Vantor");
  EXPECT_EQ(t.at(1).period, 5000);
  EXPECT_EQ(t.at(1).size, 12345);
  EXPECT_EQ(t.at(2).caption, "a\r\n\r\nb\r\n") << "every mark breaks the line";
  EXPECT_EQ(t.at(2).period, 7000);
}

TEST(ScheduleLoader, ACaptionKeepsItsFirst500Characters) {
  const std::string x498(498, 'x');
  const struct {
    std::string line, caption;
  } cases[] = {
      {std::string(700, 'v'), std::string(500, 'v')},
      {x498 + "@@" + std::string(200, 'v'), x498 + "\r\n"},
      {x498 + "y@@", x498 + "y@"},  // the mark cut in two stays a character
      {x498 + "  tail", x498},      // blanks before the cut are trailing blanks
  };
  for (const auto& c : cases) {
    const std::string text = "1\r\np.jpg\r\n" + c.line + "\r\n100\r\n1\r\n";
    EXPECT_EQ(ParseSchedule(text, "E").at(1).caption, c.caption) << c.line.size();
  }
}

TEST(ScheduleLoader, SoundNameFollowsTheSecondLetterOfThePicture) {
  struct Case {
    const char* picture;
    const char* sound;
  };
  const Case cases[] = {
      {"aw05.bmp", "E\\aw05.wav"}, {"a05.bmp", ""},   {"tW1.jpg", "E\\tW1.wav"},
      {"aw.b", "E\\.wav"},         {"aw", "E\\.wav"}, {"w", ""},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ParseSchedule(OneEntry(c.picture), "E").at(1).soundName, c.sound) << c.picture;
}

TEST(ScheduleLoader, TheCountIsCappedAt200AndZeroWithoutANumber) {
  std::string many = "250\n";
  for (int i = 0; i < 250; ++i) many += "p.jpg\nc\n10\n1\n";
  const struct {
    std::string text;
    int count;
  } cases[] = {{many, 200},
               {"0\np.jpg\nc\n10\n1\n", 0},
               {"-3\n", 0},
               {"", 0},
               {"many\r\na.jpg\r\nc\r\n100\r\n1\r\n", 0}};
  for (const auto& c : cases)
    EXPECT_EQ(ParseSchedule(c.text, "E").count, c.count) << c.text.substr(0, 8);
}

TEST(ScheduleLoader, LinesWithoutANumber) {
  const Slide slide = ParseSchedule(OneEntry("a.jpg", "soon", "big"), "E").at(1);
  EXPECT_EQ(slide.period, kPeriodWithoutNumberMs);
  EXPECT_EQ(slide.size, kSizeWithoutNumber);
  EXPECT_EQ(ParseSchedule(OneEntry("a.jpg", " 1500ms"), "E").at(1).period, 1500)
      << "digits first are a number";
  // A short file leaves the missing lines empty.
  const SlideTable t = ParseSchedule("2\na.jpg\ncap\n", "E");
  ASSERT_EQ(t.count, 2);
  EXPECT_EQ(t.at(1).period, kPeriodWithoutNumberMs);
  EXPECT_EQ(t.at(2).imageName, "E\\");
  EXPECT_EQ(t.at(2).soundName, "");
}

TEST(ScheduleLoader, PeriodsStayWithinSixteenBits) {
  EXPECT_EQ(ParseSchedule(OneEntry("a.jpg", "40000"), "E").at(1).period, 32767);
  EXPECT_EQ(ParseSchedule(OneEntry("a.jpg", "99999999999999999999999"), "E").at(1).period, 32767);
}

TEST(SafeFileName, RefusesWhatCouldLeaveTheFolder) {
  for (const char* name :
       {"..\\velmora.exe", "a/b.jpg", "C:x.jpg", "sub\\a.jpg", "a..jpg", "..", "", "a\tb.jpg"})
    EXPECT_FALSE(IsSafeFileName(name)) << name;
  for (const char* name : {"tw01.jpg", "a.b.c", "~x.bmp", "Oferta noua.jpg"})
    EXPECT_TRUE(IsSafeFileName(name)) << name;
}

class AssetPlanTest : public ::testing::Test {
 protected:
  AssetPlan Plan(const std::string& schedule) {
    return PlanAssets(schedule, "C:\\S\\ERP\\",
                      [this](const std::string& path) { return present_.count(path) > 0; });
  }
  std::set<std::string> present_;
};

TEST_F(AssetPlanTest, ListsMissingPicturesWithTheirNamesAndSizes) {
  const AssetPlan plan = Plan(OneEntry("tW1.jpg", "100", "4321"));
  ASSERT_EQ(plan.pictures.size(), 1u);
  EXPECT_EQ(plan.pictures[0].finalPath, "C:\\S\\ERP\\tW1.jpg");
  EXPECT_EQ(plan.pictures[0].tempPath, "C:\\S\\ERP\\~tW1.jpg");
  EXPECT_EQ(plan.pictures[0].remotePath, "/updateVelmora/tW1.jpg");
  EXPECT_EQ(plan.pictures[0].expectedSize, 4321);
  ASSERT_EQ(plan.details.size(), 1u);
  EXPECT_EQ(plan.details[0].finalPath, "C:\\S\\ERP\\tW1.jpgex");
  EXPECT_EQ(plan.details[0].tempPath, "C:\\S\\ERP\\~tW1.jpgex");
  EXPECT_EQ(plan.details[0].remotePath, "/updateVelmora/tW1.jpgex");
}

TEST_F(AssetPlanTest, PresentFilesAndNamesNotStartingWithLowerTNeedNothing) {
  present_ = {"C:\\S\\ERP\\tw.jpg", "C:\\S\\ERP\\tw.jpgex"};
  EXPECT_TRUE(Plan(OneEntry("tw.jpg")).pictures.empty());
  EXPECT_TRUE(Plan(OneEntry("tw.jpg")).details.empty());
  EXPECT_TRUE(Plan(OneEntry("Tw.jpg")).details.empty())
      << "only a lower-case t has a detail text to fetch";
}

TEST_F(AssetPlanTest, AtMostTwoHundredEntries) {
  std::string many = "250\r\n";
  for (int i = 1; i <= 250; ++i) many += "p" + std::to_string(i) + ".jpg\r\nc\r\n1\r\n1\r\n";
  EXPECT_EQ(Plan(many).pictures.size(), 200u);
}

}  // namespace
}  // namespace velmora::update
