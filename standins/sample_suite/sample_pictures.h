#pragma once
// Small media files made from scratch for the sample suite's slide show:
// uncompressed BMP and PNG pictures, a short WAV tone, and one JPEG kept as
// bytes (a JPEG encoder would be far larger than the picture).

#include <cstdint>
#include <string>
#include <string_view>

namespace velmora::standins {

struct Rgb {
  uint8_t red, green, blue;
};

// A picture of `width` x `height` pixels: a diagonal blend from `from` to
// `to` with a lighter frame, so scaling and aspect are visible at a glance.
std::string MakeBmp(int width, int height, Rgb from, Rgb to);
std::string MakePng(int width, int height, Rgb from, Rgb to);
// 8-bit mono PCM at 8000 Hz: a tone of `hertz` lasting `milliseconds`.
std::string MakeWav(int hertz, int milliseconds);
// A baseline JPEG of kSlideWidth x kSlideHeight.
inline constexpr int kSlideWidth = 218;  // the launcher's slide area
inline constexpr int kSlideHeight = 368;
std::string_view SampleJpeg();

}  // namespace velmora::standins
