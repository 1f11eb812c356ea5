#pragma once
// What the sample vendor server offers besides the news: a new slide
// schedule with its pictures (a JPEG with a detail text and a sound name, a
// BMP, and a slide the suite already has) in updateVelmora/, and an update
// of one suite program (Kelbar\kelbarw.exe, the recorder with a version
// note after its image, so it still runs) with its manifest.

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sample_suite/sample_suite.h"

namespace velmora::standins {

// The SHA-256 of some bytes as lower-case hex (bcrypt on Windows).
using DigestFn = std::function<std::optional<std::string>(std::string_view bytes)>;

// The offered program, below the suite root.
inline constexpr char kOfferedProgram[] = "Kelbar\\kelbarw.exe";

struct OfferedSlide {
  std::string picture;
  std::string caption;
  int periodMs;
  std::string bytes;
};
// The slides of the offered schedule, in order.
std::vector<OfferedSlide> OfferedSlides();
// The offered schedule's text.
std::string OfferedSchedule();
// The detail text offered for the slide whose name begins with "t".
std::string OfferedDetailText();

// The offered program's bytes: the built recorder with a version note appended.
std::optional<std::string> OfferedProgramBytes(const ProgramShelf& shelf);

// Writes the offer into `serverRoot`; false when the recorder is not built
// or a digest cannot be made.
bool WriteSampleOffer(const std::filesystem::path& serverRoot, const std::filesystem::path& binDir,
                      const DigestFn& digest);

}  // namespace velmora::standins
