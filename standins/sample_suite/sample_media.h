#pragma once
// The sample suite's media: its slide pictures and sound, the sample vendor's
// offered slides, and small pictures for the slide library's tests. They are
// files in standins/sample_suite/media/, made by scripts/make_resources.py
// (slide.jpg was made once and is kept as it is), and compiled in from there
// by embed_media.cmake, so the generator needs no folder at run time.

#include <cstddef>
#include <string_view>

namespace velmora::standins {

// The launcher's slide area: slide.jpg, offer.bmp, kelbar.bmp and waiting.bmp
// are of this size.
inline constexpr int kSlideWidth = 218;
inline constexpr int kSlideHeight = 368;

// The bytes of media/<name>; throws std::out_of_range for a name not there.
std::string_view SampleMedia(std::string_view name);

// The table embed_media.cmake writes.
struct SampleMediaFile {
  const char* name;
  const unsigned char* bytes;
  std::size_t size;
};
extern const SampleMediaFile kSampleMediaFiles[];
extern const int kSampleMediaCount;

}  // namespace velmora::standins
