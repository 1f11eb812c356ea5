#pragma once
// The slide show's table, filled once at start-up from velmora.scn and read
// by the main dialog. Slides are numbered from 1.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace velmora::update {

struct Slide {
  std::string imageName;   // ERP directory + "\" + picture
  std::string detailBase;  // image name + "ex": the slide's detail text
  std::string soundName;   // image name with ".wav" for its last 4 characters, or empty
  std::string caption;     // "@@" turned into CR LF
  int16_t period = 0;      // display time, ms
  int32_t size = 0;        // expected picture size, bytes
};

struct SlideTable {
  static constexpr int kMaxSlides = 200;
  int16_t count = 0;
  int16_t current = 0;
  std::array<Slide, kMaxSlides + 1> slides{};  // [0] is unused

  Slide& at(int index) { return slides[static_cast<std::size_t>(index)]; }
  const Slide& at(int index) const { return slides[static_cast<std::size_t>(index)]; }
};

// What a period or size line without a number stands for: a slide shown for
// a readable time, and a size no download can match (so the asset pass never
// installs a schedule whose sizes it cannot check).
inline constexpr long kPeriodWithoutNumberMs = 5000;
inline constexpr long kSizeWithoutNumber = -1;

// Reads the schedule text: N (at most 200; 0 when the line holds no number),
// then four lines per slide: picture, caption, period, size. Periods are
// kept within 16 bits.
SlideTable ParseSchedule(std::string_view text, std::string_view erpDirectory);

// The table the main dialog shows.
SlideTable& Slides();

}  // namespace velmora::update
