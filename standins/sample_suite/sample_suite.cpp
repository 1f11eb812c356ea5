#include "sample_suite/sample_suite.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <vector>

#include "erpdirs/documents_directory_image.h"
#include "erpdirs/image_fields.h"
#include "keyed_files/keyed_file_writer.h"
#include "sample_suite/sample_media.h"

namespace velmora::standins {
namespace fs = std::filesystem;

namespace {

bool SameNameNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

std::string_view FileNameOf(std::string_view path) {
  const auto slash = path.find_last_of("\\/");
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

// A 32-bit integer as 4 bytes, little-endian.
std::string LittleEndian32(int32_t value) {
  const auto v = static_cast<uint32_t>(value);
  std::string bytes(4, '\0');
  for (std::size_t i = 0; i < 4; ++i) bytes[i] = static_cast<char>((v >> (8 * i)) & 0xFF);
  return bytes;
}

// The records of the sample dev.dat: the client record and the currencies
// the documents module knows, all under 6-byte keys (the index layout wants
// one key length per file).
std::vector<KeyedRecord> SampleDevRecords() {
  return {
      {std::string(kClientRecordKey), LittleEndian32(kSampleClientCode)},
      {"EUR   ", "Euro"},
      {"USD   ", "Dolar american"},
      {"GBP   ", "Lira sterlina"},
      {"CHF   ", "Franc elvetian"},
      {"HUF   ", "Forint maghiar"},
  };
}

// One slide of the sample schedule: the picture, its caption and period.
struct SampleSlide {
  std::string picture;
  std::string caption;  // "@@" is a line break
  int periodMs;
  std::string bytes;
};

}  // namespace

SuiteFolders::SuiteFolders(const fs::path& suiteRoot)
    : root(suiteRoot),
      erp(suiteRoot / "ERP"),
      vantor(suiteRoot / "Vantor"),
      kelbar(suiteRoot / "Kelbar"),
      morvin(suiteRoot / "Morvin"),
      tesslo(suiteRoot / "Tesslo") {}

std::optional<fs::path> ProgramShelf::Find(std::string_view name) const {
  for (const fs::path& candidate : {binDir_ / name, binDir_ / "standins" / name}) {
    std::error_code error;
    if (fs::is_regular_file(candidate, error)) return candidate;
  }
  return std::nullopt;
}

SuiteBuilder::SuiteBuilder(const fs::path& suiteRoot, fs::path binDir)
    : folders_(suiteRoot), shelf_(std::move(binDir)) {
  for (const fs::path& folder :
       {folders_.erp, folders_.vantor, folders_.kelbar, folders_.morvin, folders_.tesslo})
    fs::create_directories(folder);
}

void SuiteBuilder::CopyProgram(const fs::path& folder, std::string_view name, Need need) {
  const std::optional<fs::path> built = shelf_.Find(name);
  if (!built) {
    if (need == Need::Required) report_.missingPrograms.emplace_back(name);
    return;
  }
  fs::create_directories(folder);
  const fs::path target = folder / name;
  fs::copy_file(*built, target, fs::copy_options::overwrite_existing);
  report_.written.push_back(target);
}

void SuiteBuilder::Write(const fs::path& file, std::string_view bytes) {
  fs::create_directories(file.parent_path());
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + file.string());
  report_.written.push_back(file);
}

std::string WindowsPathOf(const fs::path& path) {
  std::string name = fs::absolute(path).lexically_normal().string();
#ifndef _WIN32
  name.insert(0, "Z:");  // wine's view of the Unix root
#endif
  std::replace(name.begin(), name.end(), '/', '\\');
  while (name.size() > 3 && name.back() == '\\') name.pop_back();
  return name;
}

std::string SuiteFolderField(const SuiteFolders& folders, std::string_view relative) {
  std::string full = WindowsPathOf(folders.root);
  if (full.back() != '\\') full += '\\';
  full += relative;
  if (full.size() <= erpdirs::kPathFieldWidth) return full;
  return "..\\" + std::string(relative);
}

std::string SampleDocumentsDirectoryRecord(const SuiteFolders& folders) {
  std::array<char, erpdirs::kRecordSize> record{};
  erpdirs::SetDocumentsDirectoryDefaults(record);
  const std::string vantor = SuiteFolderField(folders, "Vantor");
  erpdirs::SetPathField(record, erpdirs::kDocumentsDataDirectory, vantor);
  erpdirs::SetPathField(record, erpdirs::kSecondDocumentsDirectory, vantor);
  erpdirs::SetPathField(record, erpdirs::kDocumentsAccountingFolder,
                        SuiteFolderField(folders, "Kelbar\\FIRMA"));
  erpdirs::SetPathField(record, erpdirs::kDocumentsFurtherDirectory,
                        SuiteFolderField(folders, "ERP"));
  return std::string(record.data(), record.size());
}

std::string SampleIndexDevFile() {
  IndexFileWriter dev(kSampleDevBlocks, kSampleDevBuckets);
  for (const KeyedRecord& record : SampleDevRecords())
    if (!dev.Add(record)) throw std::logic_error("sample dev.dat has no room for " + record.key);
  return dev.image();
}

std::string SampleSelfDescribingDevFile() {
  SelfDescribingFileWriter dev(kSampleDevBlocks, kSampleDevBuckets);
  for (const KeyedRecord& record : SampleDevRecords())
    if (!dev.Add(record)) throw std::logic_error("sample dev.dat has no room for " + record.key);
  return dev.image();
}

void BuildErpFolder(SuiteBuilder& builder) {
  const fs::path& erp = builder.folders().erp;
  builder.CopyProgram(erp, "velmora.exe");
  builder.CopyProgram(erp, "hostlane.dll", SuiteBuilder::Need::Optional);
  builder.CopyProgram(erp, "showreel.dll", SuiteBuilder::Need::Optional);
  for (std::string_view recorder : kErpRecorders) builder.CopyProgram(erp, recorder);
  builder.CopyProgram(erp, "renova37.exe");
  // Only its presence matters to the launcher (it allows DIRVAN.DAT to be made).
  builder.Write(erp / "anga.dat", "Corvane sample suite\r\n");
  // The documents module's directory file, read from here by the caption.
  builder.Write(erp / "DIRVAN.DAT", SampleDocumentsDirectoryRecord(builder.folders()));
  BuildSlideShow(builder);
}

void BuildSlideShow(SuiteBuilder& builder) {
  const fs::path& erp = builder.folders().erp;
  const SampleSlide slides[] = {
      // Code page 1250, as the vendor writes its texts: "Bine aţi venit@@în suita Corvane".
      {"a01.jpg", "Bine a\xFEi venit@@\xEEn suita Corvane", 4000,
       std::string(SampleMedia("slide.jpg"))},
      // "t" first: has a detail text; "w" second: has a sound.
      {"tw02.bmp", "Oferta@@noua", 5000, std::string(SampleMedia("offer.bmp"))},
      // Landscape on purpose: shows the bands the library leaves around it.
      {"a03.png", "Actualizari automate", 4000, std::string(SampleMedia("updates.png"))},
  };
  std::string schedule = std::to_string(std::size(slides)) + "\r\n";
  for (const SampleSlide& slide : slides) {
    builder.Write(erp / slide.picture, slide.bytes);
    schedule += slide.picture + "\r\n" + slide.caption + "\r\n" + std::to_string(slide.periodMs) +
                "\r\n" + std::to_string(slide.bytes.size()) + "\r\n";
  }
  builder.Write(erp / "velmora.scn", schedule);
  // "Ofertă nouă: actualizări lunare ale suitei Corvane."
  builder.Write(erp / "tw02.bmpex",
                "Ofert\xE3 nou\xE3: actualiz\xE3ri lunare ale suitei Corvane.\r\n");
  builder.Write(erp / "tw02.wav", SampleMedia("offer.wav"));
  // Shown by the slide area before the show starts.
  builder.Write(erp / "velmora.img", SampleMedia("waiting.bmp"));
}

void BuildVantorFolder(SuiteBuilder& builder) {
  for (std::string_view recorder : kVantorRecorders)
    builder.CopyProgram(builder.folders().vantor, recorder);
  BuildKeyedFiles(builder);
  builder.Write(builder.folders().vantor / "CURSVAL.DAT", SampleCursValFile());
}

void BuildKeyedFiles(SuiteBuilder& builder) {
  const fs::path& vantor = builder.folders().vantor;
  // The index layout finds its bucket count in obi.dat.
  builder.Write(vantor / "obi.dat", ObiFileImage(kSampleDevBuckets));
  builder.Write(vantor / "dev.dat", SampleIndexDevFile());
  // A self-describing dev.dat carries its own count: this obi.dat has none.
  const fs::path layout2 = vantor / kLayout2FolderName;
  builder.Write(layout2 / "obi.dat", ObiFileImage(0));
  builder.Write(layout2 / "dev.dat", SampleSelfDescribingDevFile());
}

void BuildKelbarFolder(SuiteBuilder& builder) {
  const fs::path& kelbar = builder.folders().kelbar;
  builder.CopyProgram(kelbar, "kelbarw.exe");
  // The chart of accounts; only its presence matters to the launcher.
  builder.Write(kelbar / "FileGen" / "plcont.dat",
                "4111 Clienti\r\n401 Furnizori\r\n5121 Conturi la banci\r\n");
}

void BuildMorvinFolder(SuiteBuilder& builder) {
  builder.CopyProgram(builder.folders().morvin, "MORVINW.exe");
}

void BuildTessloFolder(SuiteBuilder& builder) {
  builder.CopyProgram(builder.folders().tesslo, "tesslow.exe");
}

SuiteReport BuildSampleSuite(const fs::path& suiteRoot, const fs::path& binDir) {
  SuiteBuilder builder(suiteRoot, binDir);
  BuildErpFolder(builder);
  BuildVantorFolder(builder);
  BuildKelbarFolder(builder);
  BuildMorvinFolder(builder);
  BuildTessloFolder(builder);
  return builder.report();
}

std::vector<LaunchRecord> ReadLaunches(const fs::path& suiteRoot) {
  std::ifstream in(suiteRoot / kLaunchesLogName, std::ios::binary);
  const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  std::vector<LaunchRecord> launches;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    if (auto record = ParseLaunchRecord(std::string_view(text).substr(start, end - start)))
      launches.push_back(std::move(*record));
    start = end + 1;
  }
  return launches;
}

std::vector<LaunchRecord> LaunchesOf(const std::vector<LaunchRecord>& launches,
                                     std::string_view name) {
  std::vector<LaunchRecord> matching;
  for (const LaunchRecord& launch : launches)
    if (SameNameNoCase(FileNameOf(launch.program), name)) matching.push_back(launch);
  return matching;
}

}  // namespace velmora::standins
