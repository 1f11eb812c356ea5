// Error-code fields of log lines, the ring's shades, and the percentage texts.

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "common/transfer_size.h"
#include "link/log_line.h"
#include "link/ring_paint.h"

namespace velmora::link {
namespace {

TEST(LinkLogLine, ErrorCodeFields) {
  EXPECT_EQ(ErrorCodeField(10061), "     10061  ");
  EXPECT_EQ(ErrorCodeField(-1), "        -1  ");
  EXPECT_EQ(ErrorCodeField(10061).size(), 12u);
  EXPECT_EQ(LeftErrorCodeField(10093), "10093       ");
  EXPECT_EQ("Eroare socket(1) - " + LeftErrorCodeField(10093), "Eroare socket(1) - 10093       ");
}

// Shade of each dot 1..8 at a frame, as a string: digits, '-' for grey.
std::string Shades(int frame) {
  std::string s;
  for (int dot = 1; dot <= 8; ++dot) {
    const auto shade = DotShade(dot, frame);
    s += shade ? static_cast<char>('0' + *shade) : '-';
  }
  return s;
}

TEST(Ring, ShadesFollowTheFrame) {
  EXPECT_EQ(Shades(0), "--------");
  EXPECT_EQ(Shades(1), "0----321");  // dot 1 bright, tail 8, 7, 6
  EXPECT_EQ(Shades(3), "210----3");  // dot 3 bright, tail 2, 1, 8
  EXPECT_EQ(Shades(8), "----3210");  // dot 8 bright, tail 7, 6, 5
  EXPECT_EQ(Shades(5), "-3210---");
}

TEST(Percent, AnswerIsLeftAdjustedSendIsThreeColumns) {
  EXPECT_EQ(AnswerPercentText(250, 1000), std::optional<std::string>("75%"));
  EXPECT_EQ(SendPercentText(250, 1000), std::optional<std::string>(" 75%"));
  EXPECT_EQ(SendPercentText(999, 1000), std::optional<std::string>("  1%"));
  EXPECT_EQ(AnswerPercentText(999, 1000), std::optional<std::string>("1%"));
  EXPECT_EQ(SendPercentText(1, 1000), std::optional<std::string>("100%"));
}

TEST(Percent, NothingWhenNoTransferRuns) {
  constexpr auto kIdle =
      static_cast<int32_t>(kTransferBufferSize);  // answer remaining before any length arrives
  EXPECT_FALSE(AnswerPercentText(0, 1000));
  EXPECT_FALSE(AnswerPercentText(250, 0));
  EXPECT_FALSE(AnswerPercentText(kIdle, 1000));
  EXPECT_FALSE(SendPercentText(0, 1000));
  EXPECT_FALSE(SendPercentText(10, 0));
  EXPECT_FALSE(SendPercentText(kIdle, kIdle + 4));
}

}  // namespace
}  // namespace velmora::link
