#include "showreel/showreel_rules.h"

#include <gtest/gtest.h>

namespace velmora::standins {
namespace {

TEST(ShowreelRules, FitsThePictureKeepingItsAspect) {
  struct Case {
    int pictureWidth, pictureHeight, areaWidth, areaHeight;
    Box expected;
  };
  const Case cases[] = {
      {100, 100, 200, 100, {50, 0, 100, 100}},  // square in a wide area: bands left and right
      {200, 50, 100, 100, {0, 37, 100, 25}},    // wide picture: bands above and below
      {160, 120, 320, 240, {0, 0, 320, 240}},   // same aspect: scaled up to fill
      {640, 480, 160, 120, {0, 0, 160, 120}},   // scaled down
      {3, 2, 7, 5, {0, 0, 7, 5}},               // 7 x 4.67 rounds to 7 x 5
      {1, 1000, 100, 100, {49, 0, 1, 100}},     // never thinner than one pixel
      {0, 10, 100, 100, {}},
      {10, 10, 0, 100, {}},
      {10, -1, 100, 100, {}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FitKeepingAspect(c.pictureWidth, c.pictureHeight, c.areaWidth, c.areaHeight),
              c.expected)
        << c.pictureWidth << "x" << c.pictureHeight << " in " << c.areaWidth << "x" << c.areaHeight;
  }
}

TEST(ShowreelRules, ArrowsSitStrictlyInsideTheirColumnsOfTheBottomBand) {
  const ArrowBoxes arrows = PageArrowBoxes(300, 400);
  ASSERT_TRUE(arrows.visible);
  // Rows 321..398 form the band (more than 320 below the top, above the bottom);
  // columns strictly between 10 and 30 from each edge.
  EXPECT_EQ(arrows.left, (Box{11, 350, 19, 19}));
  EXPECT_EQ(arrows.right, (Box{271, 350, 19, 19}));
}

TEST(ShowreelRules, NoArrowsWithoutARoomyBand) {
  EXPECT_FALSE(PageArrowBoxes(300, 320).visible);
  EXPECT_FALSE(PageArrowBoxes(300, 324).visible);  // two rows of band only
  const ArrowBoxes thin = PageArrowBoxes(300, 325);
  ASSERT_TRUE(thin.visible);
  EXPECT_EQ(thin.left, (Box{11, 321, 19, 3}));
  EXPECT_FALSE(PageArrowBoxes(60, 400).visible);  // the arrows would meet
  EXPECT_TRUE(PageArrowBoxes(61, 400).visible);
}

TEST(ShowreelRules, ServerIsTheFirstLineOfTheAddressList) {
  EXPECT_EQ(ServerFromAddressList(""), "127.0.0.1");
  EXPECT_EQ(ServerFromAddressList("127.0.0.2\r\n127.0.0.9\r\n"), "127.0.0.2");
  EXPECT_EQ(ServerFromAddressList("  127.0.0.3 \t\n"), "127.0.0.3");
  EXPECT_EQ(ServerFromAddressList("127.0.0.4"), "127.0.0.4");
  EXPECT_EQ(ServerFromAddressList("\r\n127.0.0.5"), "127.0.0.1");  // an empty first line
  EXPECT_EQ(ServerFromAddressList("   \r\n"), "127.0.0.1");
}

TEST(ShowreelRules, PortComesFromTheEnvironmentWhenSensible) {
  EXPECT_EQ(ServerPort(nullptr), 5150);
  EXPECT_EQ(ServerPort(""), 5150);
  EXPECT_EQ(ServerPort("6000"), 6000);
  EXPECT_EQ(ServerPort("65535"), 65535);
  EXPECT_EQ(ServerPort("0"), 5150);
  EXPECT_EQ(ServerPort("65536"), 5150);
  EXPECT_EQ(ServerPort("12x"), 5150);
  EXPECT_EQ(ServerPort("-5"), 5150);
}

TEST(ShowreelRules, ArgumentTextStopsAtLengthOrNulAndDropsTrailingBlanks) {
  EXPECT_EQ(ArgumentText("abc  ", 5), "abc");
  EXPECT_EQ(ArgumentText("abc\0zzz", 7), "abc");
  EXPECT_EQ(ArgumentText("abcdef", 3), "abc");
  EXPECT_EQ(ArgumentText(" a b ", 5), " a b");
  EXPECT_EQ(ArgumentText("     ", 5), "");
  EXPECT_EQ(ArgumentText(nullptr, 5), "");
  EXPECT_EQ(ArgumentText("abc", 0), "");
  EXPECT_EQ(ArgumentText("abc", -3), "");
}

TEST(ShowreelRules, RequestFrameCountsItsOwnLengthBytes) {
  const std::string expected = std::string("\x22\x00\x00\x00", 4) +
                               "903 /updateVelmora/velmora.scn";  // 4 + 4 + 26 = 34 = 0x22
  EXPECT_EQ(FileRequestFrame("/updateVelmora/velmora.scn"), expected);
  EXPECT_EQ(FileRequestFrame(""), std::string("\x08\x00\x00\x00", 4) + "903 ");
  const std::string longPath(300, 'p');  // 308 = 0x134
  EXPECT_EQ(FileRequestFrame(longPath).substr(0, 4), std::string("\x34\x01\x00\x00", 4));
}

TEST(ShowreelRules, AnswerLengthMustBePossible) {
  EXPECT_EQ(AnswerPayloadLength(std::string("\x04\x00\x00\x00", 4)), 0u);
  EXPECT_EQ(AnswerPayloadLength(std::string("\x0A\x00\x00\x00", 4)), 6u);
  EXPECT_EQ(AnswerPayloadLength(std::string("\x94\xD0\xA3\x00", 4)), 10'735'760u);
  EXPECT_FALSE(AnswerPayloadLength(std::string("\x95\xD0\xA3\x00", 4)));
  EXPECT_FALSE(AnswerPayloadLength(std::string("\x03\x00\x00\x00", 4)));
  EXPECT_FALSE(AnswerPayloadLength(std::string("\xFF\xFF\xFF\xFF", 4)));
  EXPECT_FALSE(AnswerPayloadLength(std::string("\x00\x00\x00\x80", 4)));
  EXPECT_FALSE(AnswerPayloadLength(std::string("\x04\x00\x00", 3)));
}

}  // namespace
}  // namespace velmora::standins
