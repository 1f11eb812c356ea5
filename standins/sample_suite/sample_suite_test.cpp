#include "sample_suite/sample_suite.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <set>

#include "docstore/client_record.h"
#include "docstore/keyed_block.h"
#include "docstore/layout_cache.h"
#include "docstore/record_search.h"
#include "sample_suite/sample_media.h"
#include "support/temp_dir.h"

namespace velmora::standins {
namespace {

namespace fs = std::filesystem;
using velmora::testing::ReadFileBytes;
using velmora::testing::TempDir;
using velmora::testing::TextLines;
using velmora::testing::WriteFileBytes;

// The number of `size` bytes at `offset`, little-endian unless `bigEndian`.
uint32_t Number(const std::string& bytes, std::size_t offset, int size, bool bigEndian = false) {
  uint32_t value = 0;
  for (int i = 0; i < size; ++i) {
    const auto byte = static_cast<uint8_t>(
        bytes.at(offset + static_cast<std::size_t>(bigEndian ? i : size - 1 - i)));
    value = value << 8 | byte;
  }
  return value;
}
struct Field {
  std::size_t offset;
  int size;
  uint32_t value;
};
void ExpectFields(const std::string& bytes, std::initializer_list<Field> fields,
                  bool bigEndian = false) {
  for (const Field& f : fields)
    EXPECT_EQ(Number(bytes, f.offset, f.size, bigEndian), f.value) << "at " << f.offset;
}

// Where each program belongs in a suite, relative to its root.
struct Placement {
  const char* name;
  const char* folder;
};
constexpr Placement kRequiredPrograms[] = {
    {"velmora.exe", "ERP"},    {"trovel.exe", "ERP"},     {"quillon.exe", "ERP"},
    {"wardle.exe", "ERP"},     {"renova37.exe", "ERP"},   {"q.exe", "Vantor"},
    {"tkv.exe", "Vantor"},     {"ruvela.exe", "Vantor"},  {"kelbarw.exe", "Kelbar"},
    {"MORVINW.exe", "Morvin"}, {"tesslow.exe", "Tesslo"},
};

// A suite built from a bin folder as a Windows build leaves it: the launcher
// at the top, the stand-ins (showreel.dll among them) below standins/. Each
// file holds its own name, so a test can tell which one was copied where.
class BuiltSuite : public ::testing::Test {
 protected:
  BuiltSuite() {
    const fs::path& bin = bin_.path();
    fs::create_directories(bin / "standins");
    WriteFileBytes(bin / "velmora.exe", "velmora.exe");
    for (const Placement& p : kRequiredPrograms)
      if (std::string_view(p.name) != "velmora.exe")
        WriteFileBytes(bin / "standins" / p.name, p.name);
    WriteFileBytes(bin / "standins" / "showreel.dll", "showreel.dll");
    report_ = BuildSampleSuite(suite_.path(), bin);
  }
  TempDir bin_, suite_;
  SuiteReport report_;
  const fs::path erp_ = suite_.path() / "ERP";
};

TEST_F(BuiltSuite, PutsEveryProgramIntoItsFolder) {
  EXPECT_TRUE(report_.ok());
  EXPECT_TRUE(report_.missingPrograms.empty());
  for (const Placement& p : kRequiredPrograms)
    EXPECT_EQ(ReadFileBytes(suite_.path() / p.folder / p.name), p.name);
  EXPECT_EQ(ReadFileBytes(erp_ / "showreel.dll"), "showreel.dll");
  // Optional and absent: neither copied nor reported.
  EXPECT_FALSE(fs::exists(erp_ / "hostlane.dll"));
  EXPECT_TRUE(fs::is_regular_file(erp_ / "anga.dat"));
  EXPECT_TRUE(fs::is_regular_file(suite_.path() / "Kelbar" / "FileGen" / "plcont.dat"));
  for (const fs::path& written : report_.written)
    EXPECT_TRUE(fs::is_regular_file(written)) << written;
}

TEST(SampleSuite, ReportsMissingRequiredProgramsButBuildsTheRest) {
  TempDir bin, suite;
  const SuiteReport report = BuildSampleSuite(suite.path(), bin.path());
  EXPECT_FALSE(report.ok());
  std::multiset<std::string> expected;
  for (const Placement& p : kRequiredPrograms) expected.insert(p.name);
  EXPECT_EQ(
      std::multiset<std::string>(report.missingPrograms.begin(), report.missingPrograms.end()),
      expected);
  EXPECT_TRUE(fs::is_regular_file(suite.path() / "ERP" / "velmora.scn"));
  EXPECT_FALSE(fs::exists(suite.path() / "ERP" / "showreel.dll"));
}

TEST(SampleSuite, ProgramAtTheTopOfTheBinFolderWinsOverTheStandin) {
  TempDir bin;
  fs::create_directories(bin.path() / "standins");
  WriteFileBytes(bin.path() / "showreel.dll", "real");
  WriteFileBytes(bin.path() / "standins" / "showreel.dll", "standin");
  const ProgramShelf shelf(bin.path());
  ASSERT_TRUE(shelf.Find("showreel.dll").has_value());
  EXPECT_EQ(ReadFileBytes(*shelf.Find("showreel.dll")), "real");
  EXPECT_FALSE(shelf.Find("hostlane.dll").has_value());
}

TEST_F(BuiltSuite, ScheduleNamesPicturesWithTheirTrueSizes) {
  const fs::path& erp = erp_;
  const std::string text = ReadFileBytes(erp / "velmora.scn");
  EXPECT_TRUE(text.ends_with("\r\n"));
  EXPECT_EQ(std::count(text.begin(), text.end(), '\r'), std::count(text.begin(), text.end(), '\n'))
      << "CR LF";
  const std::vector<std::string> lines = TextLines(text);
  ASSERT_FALSE(lines.empty());
  const int count = std::stoi(lines[0]);
  ASSERT_GE(count, 1);
  ASSERT_EQ(lines.size(), 1u + 4u * count);
  bool sawDetailAndSound = false;
  for (int k = 0; k < count; ++k) {
    const std::string& picture = lines[1 + 4 * k];
    SCOPED_TRACE(picture);
    EXPECT_FALSE(lines[2 + 4 * k].empty());
    EXPECT_GT(std::stoi(lines[3 + 4 * k]), 0);
    ASSERT_TRUE(fs::is_regular_file(erp / picture));
    EXPECT_EQ(std::stoull(lines[4 + 4 * k]), fs::file_size(erp / picture));
    if (picture[0] == 't') {
      EXPECT_TRUE(fs::is_regular_file(erp / (picture + "ex")));
    }
    if (picture.size() > 4 && (picture[1] == 'w' || picture[1] == 'W')) {
      EXPECT_TRUE(fs::is_regular_file(erp / (picture.substr(0, picture.size() - 4) + ".wav")));
      sawDetailAndSound = picture[0] == 't';
    }
  }
  EXPECT_TRUE(sawDetailAndSound) << "one slide shows the detail-text and sound conventions";
  EXPECT_TRUE(fs::is_regular_file(erp / "velmora.img"));
}

TEST(SamplePictures, HeadersDescribeTheirContent) {
  {
    SCOPED_TRACE("bmp");
    const std::string bmp(SampleMedia("small.bmp"));
    ASSERT_EQ(bmp.substr(0, 2), "BM");
    EXPECT_EQ(bmp.size(), 54u + 92u * 20);  // 30 pixels x 3 bytes = 90, padded to 92
    ExpectFields(bmp, {{2, 4, static_cast<uint32_t>(bmp.size())},
                       {10, 4, 54},
                       {14, 4, 40},
                       {18, 4, 30},
                       {22, 4, 20},
                       {26, 2, 1},
                       {28, 2, 24},
                       {30, 4, 0}});
  }
  {
    SCOPED_TRACE("png");
    const int width = 200, height = 50;
    const std::string png(SampleMedia("green_wide.png"));
    ASSERT_EQ(png.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
    EXPECT_EQ(png.substr(12, 4), "IHDR");
    // IHDR: length 13, width, height, bit depth 8, colour type 2 (RGB).
    ExpectFields(png, {{8, 4, 13}, {16, 4, width}, {20, 4, height}, {24, 1, 8}, {25, 1, 2}}, true);
    // The well-known IEND chunk, CRC included, closes the file.
    EXPECT_EQ(png.substr(png.size() - 12), std::string("\0\0\0\0IEND\xAE\x42\x60\x82", 12));
    // IDAT at 33: zlib header, one final stored block holding every row with filter 0.
    EXPECT_EQ(png.substr(37, 4), "IDAT");
    const uint32_t raw = height * (1 + 3 * width);
    ExpectFields(png, {{33, 4, 2 + 5 + raw + 4}}, true);
    EXPECT_EQ(Number(png, 41, 2, true) % 31, 0u);
    ExpectFields(png, {{43, 1, 1}, {44, 2, raw}, {46, 2, static_cast<uint16_t>(~raw)}});
    for (int row = 0; row < height; ++row) EXPECT_EQ(png[48 + row * (1 + 3 * width)], 0) << row;
  }
  {
    SCOPED_TRACE("jpeg");
    const std::string jpeg(SampleMedia("slide.jpg"));
    ASSERT_GT(jpeg.size(), 100u);
    EXPECT_EQ(jpeg.substr(0, 2), "\xFF\xD8");
    EXPECT_EQ(jpeg.substr(jpeg.size() - 2), "\xFF\xD9");
    const auto sof = jpeg.find("\xFF\xC0");
    ASSERT_NE(sof, std::string::npos);
    ExpectFields(jpeg, {{sof + 5, 2, 368}, {sof + 7, 2, 218}}, true);  // height, width
  }
  {
    SCOPED_TRACE("wav");
    const std::string wav(SampleMedia("offer.wav"));
    EXPECT_EQ(wav.substr(0, 4), "RIFF");
    EXPECT_EQ(wav.substr(8, 8), "WAVEfmt ");
    EXPECT_EQ(wav.substr(36, 4), "data");
    EXPECT_EQ(wav.size(), 44u + 2400u);  // 300 ms at 8000 Hz
    // PCM, mono, 8000 samples a second, 8 bits, the data's length.
    ExpectFields(wav, {{4, 4, static_cast<uint32_t>(wav.size() - 8)},
                       {20, 2, 1},
                       {22, 2, 1},
                       {24, 4, 8000},
                       {34, 2, 8},
                       {40, 4, 2400}});
  }
}

// The client code as the launcher's own reader finds it in a dev.dat image.
std::optional<int32_t> ClientCodeIn(const std::string& dev, int32_t obiBucketCount) {
  docstore::MemoryBlockReader blocks(dev);
  docstore::Block block1{};
  if (!blocks.ReadBlock(1, block1)) return std::nullopt;
  const int layout = docstore::LayoutOfBlock1(block1);
  const int32_t buckets = layout == docstore::kLayoutSelfDescribing
                              ? docstore::HeaderBucketCount(block1)
                              : obiBucketCount;
  int32_t probeLimit = docstore::kInitialProbeLimit;
  docstore::ClientRecordBuffer buffer;
  return buffer.CodeAfter(
      docstore::RetrieveRecord(blocks, layout, buffer.Query(buckets), probeLimit));
}

// The data of the record under `key` (6 bytes), as the launcher's reader retrieves it.
std::string RecordData(const std::string& dev, int layout, int32_t buckets, const std::string& key,
                       int32_t dataLength) {
  docstore::MemoryBlockReader blocks(dev);
  std::string buffer = key + std::string(static_cast<std::size_t>(dataLength), '\0');
  int32_t probeLimit = docstore::kInitialProbeLimit;
  const docstore::RecordQuery query{buffer, 6, buckets, 6, dataLength};
  const docstore::RetrieveOutcome outcome =
      docstore::RetrieveRecord(blocks, layout, query, probeLimit);
  if (outcome.status != docstore::kStatusFound) return "status " + std::to_string(outcome.status);
  return buffer.substr(6);
}

TEST_F(BuiltSuite, DocumentsModuleFilesHoldTheClientRecordInBothLayouts) {
  struct Case {
    fs::path folder;
    uint32_t obiBucketCount;  // none needed beside a self-describing dev.dat
    int layout;
    const char* key;
    const char* data;
  };
  const fs::path vantor = suite_.path() / "Vantor";
  for (const Case& c : {Case{vantor, 61, 1, "EUR   ", "Euro"},
                        Case{vantor / "Layout2", 0, 2, "USD   ", "Dolar american"}}) {
    SCOPED_TRACE(c.layout);
    const std::string obi = ReadFileBytes(c.folder / "obi.dat");
    ASSERT_GE(obi.size(), 512u);
    EXPECT_EQ(Number(obi, 10, 4), c.obiBucketCount);
    const std::string dev = ReadFileBytes(c.folder / "dev.dat");
    ASSERT_EQ(dev.size(), 64u * 512u);
    EXPECT_EQ(Number(dev, 0, 2) == 0x70FF, c.layout == 2)
        << "only a self-describing block 1 is a header";
    EXPECT_EQ(ClientCodeIn(dev, static_cast<int32_t>(c.obiBucketCount)),
              std::optional<int32_t>(4711));
    EXPECT_EQ(
        RecordData(dev, c.layout, 61, c.key, static_cast<int32_t>(std::string_view(c.data).size())),
        c.data);
    if (c.layout == 1) {
      // The client record is the documents module's: key CODCLI, length word 12,
      // 4711 = 67 12 00 00.
      EXPECT_NE(dev.find(std::string("CODCLI\x0C\x00\x67\x12\x00\x00", 12)), std::string::npos);
    } else {
      EXPECT_EQ(dev.substr(2, 16), std::string(16, '*'));
      EXPECT_EQ(Number(dev, 18, 4), 61u);
    }
  }
}

TEST_F(BuiltSuite, DocumentsDirectoryFileInErpNamesTheSuitesFolders) {
  const std::string record = ReadFileBytes(erp_ / "DIRVAN.DAT");
  ASSERT_EQ(record.size(), 512u);
  const SuiteFolders folders(suite_.path());
  auto folder = [&](const char* name) {
    std::string text = SuiteFolderField(folders, name);
    text.resize(40, ' ');
    return text;
  };
  // The folders, and the values of a new file (60, 60, "NN", 0 at 310, mode "R",
  // "N" at 358), blanks elsewhere.
  const std::pair<std::size_t, std::string> fields[] = {
      {0, std::string(180, ' ')},
      {180, folder("Vantor")},
      {220, folder("Vantor")},
      {260, folder("Kelbar\\FIRMA")},
      {300, std::string("\x3C\x00\x3C\x00NN    \x00\x00", 12)},
      {312, folder("ERP")},
      {352, "  R"},
      {358, "N" + std::string(153, ' ')},
  };
  for (const auto& [offset, bytes] : fields)
    EXPECT_EQ(record.substr(offset, bytes.size()), bytes) << "at " << offset;
}

TEST(SampleSuite, FolderFieldsAreFullPathsWhenTheyFitElseRelativeToErp) {
  const std::string shortRoot = WindowsPathOf(fs::path("/s"));
  ASSERT_GE(shortRoot.size(), 3u);
  EXPECT_EQ(shortRoot.substr(1, 2), ":\\");
  EXPECT_EQ(SuiteFolderField(SuiteFolders(fs::path("/s")), "Kelbar\\FIRMA"),
            shortRoot + "\\Kelbar\\FIRMA");
  const fs::path longRoot = fs::path("/") / std::string(40, 'x');
  EXPECT_EQ(SuiteFolderField(SuiteFolders(longRoot), "Vantor"), "..\\Vantor");
  EXPECT_EQ(SuiteFolderField(SuiteFolders(longRoot), "ERP"), "..\\ERP");
#ifndef _WIN32
  EXPECT_EQ(WindowsPathOf("/work/suite/ERP/"), "Z:\\work\\suite\\ERP");
#endif
}

TEST(LaunchRecord, FormatsThreeTabSeparatedFieldsOnOneLine) {
  const LaunchRecord record{"C:\\S\\ERP\\trovel.exe", "C:\\S\\ERP",
                            "C:\\S\\ERP\\trovel.exe -x\tb\r\nc"};
  const std::string line = FormatLaunchRecord(record);
  EXPECT_EQ(line, "C:\\S\\ERP\\trovel.exe\tC:\\S\\ERP\tC:\\S\\ERP\\trovel.exe -x b  c\r\n");
  const auto parsed = ParseLaunchRecord(line);
  ASSERT_TRUE(parsed.has_value());
  EXPECT_EQ(parsed->program, record.program);
  EXPECT_EQ(parsed->currentDirectory, "C:\\S\\ERP");
  EXPECT_EQ(parsed->commandLine, "C:\\S\\ERP\\trovel.exe -x b  c");
}

TEST(LaunchRecord, RejectsLinesWithoutExactlyThreeFields) {
  for (const char* line : {"", "a\tb", "a\tb\tc\td"}) EXPECT_FALSE(ParseLaunchRecord(line)) << line;
  EXPECT_TRUE(ParseLaunchRecord("a\t\t\r\n"));  // empty fields are fine
}

TEST(LaunchRecord, SuiteRootIsTheParentOfTheProgramsFolder) {
  struct Case {
    const char* program;
    const char* root;
  };
  const Case cases[] = {
      {"C:\\S\\ERP\\trovel.exe", "C:\\S\\"},
      {"C:\\S\\Vantor\\q.exe", "C:\\S\\"},
      {"Z:\\tmp\\a b\\Kelbar\\kelbarw.exe", "Z:\\tmp\\a b\\"},
      {"C:\\ERP\\trovel.exe", "C:\\"},
      {"C:\\trovel.exe", ""},
      {"trovel.exe", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(SuiteRootOfProgram(c.program), c.root) << c.program;
}

TEST(LaunchRecord, ControlFilesSitBesideTheProgramWithoutItsExtension) {
  EXPECT_EQ(RecorderControlFile("C:\\S\\ERP\\trovel.exe", ".hold"), "C:\\S\\ERP\\trovel.hold");
  EXPECT_EQ(RecorderControlFile("C:\\S\\Morvin\\MORVINW.exe", ".exitcode"),
            "C:\\S\\Morvin\\MORVINW.exitcode");
  EXPECT_EQ(RecorderControlFile("C:\\a.b\\noext", ".hold"), "C:\\a.b\\noext.hold");
}

TEST(LaunchLog, ReadsRecordsInOrderAndSkipsBrokenLines) {
  TempDir suite;
  EXPECT_TRUE(ReadLaunches(suite.path()).empty()) << "no log, no launches";
  WriteFileBytes(suite.path() / "launches.log",
                 "C:\\S\\ERP\\trovel.exe\tC:\\S\\ERP\tC:\\S\\ERP\\trovel.exe\r\n"
                 "garbage without tabs\r\n"
                 "C:\\S\\Morvin\\MORVINW.exe\tC:\\S\\Morvin\tC:\\S\\Morvin\\MORVINW.exe\r\n"
                 "C:\\S\\ERP\\trovel.exe\tC:\\S\\ERP\tsecond");  // last line without its break
  const auto launches = ReadLaunches(suite.path());
  ASSERT_EQ(launches.size(), 3u);
  EXPECT_EQ(launches[1].currentDirectory, "C:\\S\\Morvin");
  EXPECT_EQ(LaunchesOf(launches, "trovel.exe").size(), 2u);
  EXPECT_EQ(LaunchesOf(launches, "morvinw.EXE").size(), 1u);
  EXPECT_EQ(LaunchesOf(launches, "q.exe").size(), 0u);
  EXPECT_EQ(LaunchesOf(launches, "trovel.exe")[1].commandLine, "second");
}

}  // namespace
}  // namespace velmora::standins
