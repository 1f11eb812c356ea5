#pragma once
// What the link window draws: a ring of eight dots whose bright dot circles
// with a fading tail (red before the qualification, green after), and the
// transfer percentages inside the ring.

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace velmora::link {

struct DotPoint {
  int x;
  int y;
};
// Centre of dot 1..8 in a window of the given width.
DotPoint DotPosition(int dot, int windowWidth);

// Shade 0..3 of dot 1..8 at animation frame 0..8; nullopt means grey.
std::optional<int> DotShade(int dot, int frame);
// Half the side of the dot's bounding box: 4 for the bright dot, 3 for the others.
int DotRadius(std::optional<int> shade);

// COLORREF values (0x00BBGGRR).
inline constexpr std::uint32_t kGrey = 0xDDDDDD;
inline constexpr std::array<std::uint32_t, 4> kGreens{0x00EE00, 0x44EE44, 0x88EE88, 0xAAEEAA};
inline constexpr std::array<std::uint32_t, 4> kReds{0x0000EE, 0x4444EE, 0x8888EE, 0xAAAAEE};
inline constexpr std::uint32_t kTextColour = 0x444444;

// Brush slots of the link window: 0 background, 1-4 greens, 5-8 reds, 9 grey.
inline constexpr int kBrushCount = 10;
int ShadeBrushSlot(std::optional<int> shade, bool qualified);

// "75%" while an answer arrives (left-adjusted); nullopt when none arrives.
std::optional<std::string> AnswerPercentText(std::int32_t answerRemaining,
                                             std::int32_t answerField);
// " 75%" while a request goes out (three columns); nullopt when none goes out.
std::optional<std::string> SendPercentText(std::int32_t sendRemaining, std::int32_t sendTotal);

}  // namespace velmora::link
