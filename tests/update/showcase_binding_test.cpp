// The launcher's binding of the slide library: the fixed resolution order,
// where it stops, and the status it keeps.

#include <gtest/gtest.h>

#include "shell/showcase_library.h"

namespace velmora::shell {
namespace {

struct Bound {
  int16_t status;
  bool draw, download, transparency, arrows;
  std::string text;
};

Bound Bind(const std::string& library) {
  const int16_t status = BindShowcaseLibrary(library.c_str());
  const ShowcaseLibrary& lib = Showcase();
  Bound bound{status,
              lib.drawPicture != nullptr,
              lib.downloadFile != nullptr,
              lib.applyTransparency != nullptr,
              lib.drawPageArrows != nullptr,
              lib.status};
  FreeShowcaseLibrary();
  return bound;
}

TEST(ShowcaseBinding, ResolvesInOrderAndStopsWhereTheLibraryFallsShort) {
  const std::string standins = VELMORA_STANDIN_DIR "\\";
  struct Case {
    std::string library;
    Bound expected;
  };
  const Case cases[] = {
      {standins + "showreel.dll", {0, true, true, true, true, ""}},
      {standins + "showreel_noarrows.dll", {-5, true, true, true, false, "Eroare interna (6)"}},
      // A library with none of the exports: nothing past the drawing is even looked up.
      {"kernel32.dll", {-5, false, false, false, false, "Eroare interna (5)"}},
      {standins + "absent.dll",
       {-1, false, false, false, false, "Eroare deschidere \"showreel.dll\""}},
  };
  for (const Case& c : cases) {
    const Bound got = Bind(c.library);
    EXPECT_EQ(got.status, c.expected.status) << c.library;
    EXPECT_EQ(got.draw, c.expected.draw) << c.library;
    EXPECT_EQ(got.download, c.expected.download) << c.library;
    EXPECT_EQ(got.transparency, c.expected.transparency) << c.library;
    EXPECT_EQ(got.arrows, c.expected.arrows) << c.library;
    EXPECT_EQ(got.text, c.expected.text) << c.library;
  }
}

}  // namespace
}  // namespace velmora::shell
