// Reading the slide schedule text into the slide table.

#include "update/slide_table.h"

#include <gtest/gtest.h>

#include <string>

namespace velmora::update {
namespace {

TEST(ParseSchedule, FillsEverySlideFromItsFourLines) {
  const std::string text =
      "2\r\n"
      "tw01.jpg\r\n"
      "Bun venit@@in Vantor   \r\n"
      "5000\r\n"
      "12345\r\n"
      "pic2.png\r\n"
      "Al doilea\r\n"
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
  EXPECT_EQ(t.at(2).soundName, "") << "only a second letter w or W names a sound";
  EXPECT_EQ(t.at(2).period, 7000);
}

TEST(ParseSchedule, ACapitalWAlsoNamesASoundAndRepeatedMarksAllBreak) {
  const SlideTable t = ParseSchedule("1\nxWa.bmp\na@@@@b@@\n100\n1\n", "D:\\E");
  EXPECT_EQ(t.at(1).soundName, "D:\\E\\xWa.wav");
  EXPECT_EQ(t.at(1).caption, "a\r\n\r\nb\r\n");
}

TEST(ParseSchedule, CountsAboveTwoHundredAreCappedAndZeroOrLessMeansNoSlides) {
  std::string many = "250\n";
  for (int i = 0; i < 250; ++i) many += "p.jpg\nc\n10\n1\n";
  EXPECT_EQ(ParseSchedule(many, "E").count, 200);
  EXPECT_EQ(ParseSchedule("0\np.jpg\nc\n10\n1\n", "E").count, 0);
  EXPECT_EQ(ParseSchedule("-3\n", "E").count, 0);
  EXPECT_EQ(ParseSchedule("", "E").count, 0);
  EXPECT_EQ(ParseSchedule("abc\n", "E").count, 0);
}

TEST(ParseSchedule, AShortFileLeavesTheMissingLinesEmpty) {
  const SlideTable t = ParseSchedule("2\na.jpg\ncap\n", "E");
  ASSERT_EQ(t.count, 2);
  EXPECT_EQ(t.at(1).period, kPeriodWithoutNumberMs) << "a missing line holds no number";
  EXPECT_EQ(t.at(2).imageName, "E\\");
  EXPECT_EQ(t.at(2).soundName, "");
}

}  // namespace
}  // namespace velmora::update
