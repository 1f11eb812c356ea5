#include "sample_suite/sample_offer.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

#include "sample_suite/sample_media.h"
#include "update_manifest/update_manifest.h"

namespace velmora::standins {
namespace fs = std::filesystem;

namespace {

void WriteBytes(const fs::path& file, std::string_view bytes) {
  fs::create_directories(file.parent_path());
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + file.string());
}

}  // namespace

std::vector<OfferedSlide> OfferedSlides() {
  return {
      // "t" first and "w" second: a detail text to fetch and a sound name (not fetched).
      {"tw04.jpg", "Noutati@@in luna aceasta", 4000, std::string(SampleMedia("slide.jpg"))},
      {"a05.bmp", "Versiune noua@@Kelbar", 3000, std::string(SampleMedia("kelbar.bmp"))},
      // Present in the sample suite already: installed without a download.
      {"tw02.bmp", "Oferta@@noua", 5000, std::string(SampleMedia("offer.bmp"))},
  };
}

std::string OfferedSchedule() {
  const std::vector<OfferedSlide> slides = OfferedSlides();
  std::string schedule = std::to_string(slides.size()) + "\r\n";
  for (const OfferedSlide& slide : slides)
    schedule += slide.picture + "\r\n" + slide.caption + "\r\n" + std::to_string(slide.periodMs) +
                "\r\n" + std::to_string(slide.bytes.size()) + "\r\n";
  return schedule;
}

std::string OfferedDetailText() {
  return "Noutati: Kelbar are o versiune noua, instalata automat.\r\n";
}

std::optional<std::string> OfferedProgramBytes(const ProgramShelf& shelf) {
  const std::optional<fs::path> recorder = shelf.Find("recorder.exe");
  if (!recorder) return std::nullopt;
  std::ifstream in(*recorder, std::ios::binary);
  std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  if (bytes.empty()) return std::nullopt;
  return bytes + "\r\nKelbar versiunea 2\r\n";  // past the image: the program runs as before
}

bool WriteSampleOffer(const fs::path& serverRoot, const fs::path& binDir, const DigestFn& digest) {
  const fs::path remote = serverRoot / "updateVelmora";
  for (const OfferedSlide& slide : OfferedSlides())
    if (slide.picture != "tw02.bmp") WriteBytes(remote / slide.picture, slide.bytes);
  WriteBytes(remote / "tw04.jpgex", OfferedDetailText());
  WriteBytes(remote / "velmora.scn", OfferedSchedule());

  const std::optional<std::string> program = OfferedProgramBytes(ProgramShelf(binDir));
  if (!program) return false;
  const std::optional<std::string> sha = digest(*program);
  if (!sha) return false;
  WriteBytes(PathBelow(remote / "suite", kOfferedProgram), *program);
  Manifest manifest;
  manifest.files.push_back({kOfferedProgram, program->size(), *sha});
  WriteBytes(remote / "velmora.upd", FormatManifest(manifest));
  return true;
}

}  // namespace velmora::standins
