#include "sample_suite/sample_suite.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <sstream>

#include "docstore/client_record.h"
#include "docstore/keyed_block.h"
#include "docstore/layout_cache.h"
#include "docstore/record_search.h"
#include "sample_suite/sample_pictures.h"
#include "support/temp_dir.h"

namespace velmora::standins {
namespace {

namespace fs = std::filesystem;
using velmora::testing::ReadFileBytes;
using velmora::testing::TempDir;
using velmora::testing::WriteFileBytes;

uint32_t Le32(const std::string& bytes, std::size_t offset) {
  return static_cast<uint8_t>(bytes[offset]) | static_cast<uint8_t>(bytes[offset + 1]) << 8 |
         static_cast<uint8_t>(bytes[offset + 2]) << 16 | static_cast<uint32_t>(static_cast<uint8_t>(bytes[offset + 3])) << 24;
}
uint16_t Le16(const std::string& bytes, std::size_t offset) {
  return static_cast<uint16_t>(static_cast<uint8_t>(bytes[offset]) | static_cast<uint8_t>(bytes[offset + 1]) << 8);
}
uint32_t Be32(const std::string& bytes, std::size_t offset) {
  return static_cast<uint32_t>(static_cast<uint8_t>(bytes[offset])) << 24 | static_cast<uint8_t>(bytes[offset + 1]) << 16 |
         static_cast<uint8_t>(bytes[offset + 2]) << 8 | static_cast<uint8_t>(bytes[offset + 3]);
}

// Where each program belongs in a suite, relative to its root.
struct Placement {
  const char* name;
  const char* folder;
};
constexpr Placement kRequiredPrograms[] = {
    {"velmora.exe", "ERP"},   {"trovel.exe", "ERP"},   {"quillon.exe", "ERP"}, {"wardle.exe", "ERP"},
    {"renova37.exe", "ERP"},  {"q.exe", "Vantor"},     {"tkv.exe", "Vantor"},  {"ruvela.exe", "Vantor"},
    {"kelbarw.exe", "Kelbar"}, {"MORVINW.exe", "Morvin"}, {"tesslow.exe", "Tesslo"},
};

// A bin folder as a Windows build leaves it: the launcher at the top, the
// stand-ins below standins/. Each file holds its own name, so a test can
// tell which one was copied where.
void FillBinFolder(const fs::path& bin, bool withShowreel) {
  fs::create_directories(bin / "standins");
  WriteFileBytes(bin / "velmora.exe", "velmora.exe");
  for (const Placement& p : kRequiredPrograms)
    if (std::string_view(p.name) != "velmora.exe") WriteFileBytes(bin / "standins" / p.name, p.name);
  if (withShowreel) WriteFileBytes(bin / "standins" / "showreel.dll", "showreel.dll");
}

TEST(SampleSuite, PutsEveryProgramIntoItsFolder) {
  TempDir bin, suite;
  FillBinFolder(bin.path(), true);
  const SuiteReport report = BuildSampleSuite(suite.path(), bin.path());
  EXPECT_TRUE(report.ok());
  EXPECT_TRUE(report.missingPrograms.empty());
  for (const Placement& p : kRequiredPrograms) {
    SCOPED_TRACE(p.name);
    EXPECT_EQ(ReadFileBytes(suite.path() / p.folder / p.name), p.name);
  }
  EXPECT_EQ(ReadFileBytes(suite.path() / "ERP" / "showreel.dll"), "showreel.dll");
  // Optional and absent: neither copied nor reported.
  EXPECT_FALSE(fs::exists(suite.path() / "ERP" / "hostlane.dll"));
  EXPECT_TRUE(fs::is_regular_file(suite.path() / "ERP" / "anga.dat"));
  EXPECT_TRUE(fs::is_regular_file(suite.path() / "Kelbar" / "FileGen" / "plcont.dat"));
  for (const fs::path& written : report.written) EXPECT_TRUE(fs::is_regular_file(written)) << written;
}

TEST(SampleSuite, ReportsMissingRequiredProgramsButBuildsTheRest) {
  TempDir bin, suite;
  const SuiteReport report = BuildSampleSuite(suite.path(), bin.path());
  EXPECT_FALSE(report.ok());
  std::vector<std::string> expected;
  for (const Placement& p : kRequiredPrograms) expected.emplace_back(p.name);
  std::vector<std::string> missing = report.missingPrograms;
  std::sort(missing.begin(), missing.end());
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(missing, expected);
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

TEST(SampleSuite, ScheduleNamesPicturesWithTheirTrueSizes) {
  TempDir bin, suite;
  FillBinFolder(bin.path(), false);
  BuildSampleSuite(suite.path(), bin.path());
  const fs::path erp = suite.path() / "ERP";
  std::istringstream schedule(ReadFileBytes(erp / "velmora.scn"));
  std::vector<std::string> lines;
  for (std::string line; std::getline(schedule, line);) {
    ASSERT_FALSE(line.empty());
    ASSERT_EQ(line.back(), '\r') << "lines end in CR LF";
    line.pop_back();
    lines.push_back(line);
  }
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

TEST(SamplePictures, BmpHeaderMatchesItsPixels) {
  const std::string bmp = MakeBmp(5, 3, {255, 0, 0}, {0, 0, 255});
  ASSERT_EQ(bmp.substr(0, 2), "BM");
  const uint32_t rowBytes = 16;  // 5 pixels x 3 bytes = 15, padded to 4
  EXPECT_EQ(bmp.size(), 54u + rowBytes * 3);
  EXPECT_EQ(Le32(bmp, 2), bmp.size());
  EXPECT_EQ(Le32(bmp, 10), 54u);
  EXPECT_EQ(Le32(bmp, 14), 40u);
  EXPECT_EQ(Le32(bmp, 18), 5u);
  EXPECT_EQ(Le32(bmp, 22), 3u);
  EXPECT_EQ(Le16(bmp, 26), 1u);
  EXPECT_EQ(Le16(bmp, 28), 24u);
  EXPECT_EQ(Le32(bmp, 30), 0u);
}

TEST(SamplePictures, PngIsWellFramedAndHoldsAllRows) {
  const int width = 7, height = 4;
  const std::string png = MakePng(width, height, {0, 0, 0}, {255, 255, 255});
  ASSERT_EQ(png.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
  EXPECT_EQ(Be32(png, 8), 13u);
  EXPECT_EQ(png.substr(12, 4), "IHDR");
  EXPECT_EQ(Be32(png, 16), static_cast<uint32_t>(width));
  EXPECT_EQ(Be32(png, 20), static_cast<uint32_t>(height));
  EXPECT_EQ(png[24], 8);  // bit depth
  EXPECT_EQ(png[25], 2);  // colour type RGB
  // The well-known IEND chunk, CRC included, closes the file.
  EXPECT_EQ(png.substr(png.size() - 12), std::string("\0\0\0\0IEND\xAE\x42\x60\x82", 12));
  // IDAT: zlib header, one final stored block holding every row with filter 0.
  const std::size_t idat = 8 + 25;
  EXPECT_EQ(png.substr(idat + 4, 4), "IDAT");
  const std::size_t raw = static_cast<std::size_t>(height) * (1 + 3 * width);
  EXPECT_EQ(Be32(png, idat), 2 + 5 + raw + 4);
  const std::size_t z = idat + 8;
  EXPECT_EQ((static_cast<uint8_t>(png[z]) * 256 + static_cast<uint8_t>(png[z + 1])) % 31, 0);
  EXPECT_EQ(png[z + 2], 1);
  EXPECT_EQ(Le16(png, z + 3), raw);
  EXPECT_EQ(Le16(png, z + 5), static_cast<uint16_t>(~raw));
  for (int row = 0; row < height; ++row) EXPECT_EQ(png[z + 7 + row * (1 + 3 * width)], 0);
}

TEST(SamplePictures, JpegIsABaselineOfTheSlideAreasSize) {
  const std::string jpeg(SampleJpeg());
  ASSERT_GT(jpeg.size(), 100u);
  EXPECT_EQ(jpeg.substr(0, 2), "\xFF\xD8");
  EXPECT_EQ(jpeg.substr(jpeg.size() - 2), "\xFF\xD9");
  const auto sof = jpeg.find("\xFF\xC0");
  ASSERT_NE(sof, std::string::npos);
  EXPECT_EQ(static_cast<uint8_t>(jpeg[sof + 5]) * 256 + static_cast<uint8_t>(jpeg[sof + 6]), 368);  // height
  EXPECT_EQ(static_cast<uint8_t>(jpeg[sof + 7]) * 256 + static_cast<uint8_t>(jpeg[sof + 8]), 218);  // width
}

TEST(SamplePictures, WavHeaderDescribesItsSamples) {
  const std::string wav = MakeWav(440, 250);
  EXPECT_EQ(wav.substr(0, 4), "RIFF");
  EXPECT_EQ(Le32(wav, 4), wav.size() - 8);
  EXPECT_EQ(wav.substr(8, 8), "WAVEfmt ");
  EXPECT_EQ(Le16(wav, 20), 1u);     // PCM
  EXPECT_EQ(Le16(wav, 22), 1u);     // mono
  EXPECT_EQ(Le32(wav, 24), 8000u);  // samples per second
  EXPECT_EQ(Le16(wav, 34), 8u);
  EXPECT_EQ(wav.substr(36, 4), "data");
  EXPECT_EQ(Le32(wav, 40), 2000u);  // 250 ms at 8000 Hz
  EXPECT_EQ(wav.size(), 44u + 2000u);
}

// The client code as the launcher's own reader finds it in a dev.dat image.
std::optional<int32_t> ClientCodeIn(const std::string& dev, int32_t obiBucketCount) {
  docstore::MemoryBlockReader blocks(dev);
  docstore::Block block1{};
  if (!blocks.ReadBlock(1, block1)) return std::nullopt;
  const int layout = docstore::LayoutOfBlock1(block1);
  const int32_t buckets =
      layout == docstore::kLayoutSelfDescribing ? docstore::HeaderBucketCount(block1) : obiBucketCount;
  int32_t probeLimit = docstore::kInitialProbeLimit;
  return docstore::FindClientCode(blocks, layout, buckets, probeLimit);
}

// The data of the record under `key` (6 bytes), as the launcher's reader retrieves it.
std::string RecordData(const std::string& dev, int layout, int32_t buckets, const std::string& key, int32_t dataLength) {
  docstore::MemoryBlockReader blocks(dev);
  std::string buffer = key + std::string(static_cast<std::size_t>(dataLength), '\0');
  int32_t probeLimit = docstore::kInitialProbeLimit;
  const docstore::RecordQuery query{buffer, 6, buckets, 6, dataLength};
  const docstore::RetrieveOutcome outcome = docstore::RetrieveRecord(blocks, layout, query, probeLimit);
  if (outcome.status != docstore::kStatusFound) return "status " + std::to_string(outcome.status);
  return buffer.substr(6);
}

TEST(SampleSuite, DocumentsModuleFilesHoldTheClientRecordInBothLayouts) {
  TempDir bin, suite;
  FillBinFolder(bin.path(), false);
  BuildSampleSuite(suite.path(), bin.path());
  const fs::path vantor = suite.path() / "Vantor";

  const std::string obi = ReadFileBytes(vantor / "obi.dat");
  ASSERT_GE(obi.size(), 512u);
  EXPECT_EQ(Le32(obi, 10), 61u) << "the index layout's bucket count";
  const std::string dev = ReadFileBytes(vantor / "dev.dat");
  ASSERT_EQ(dev.size(), 64u * 512u);
  EXPECT_NE(Le16(dev, 0), 0x70FFu) << "index layout: block 1 is no header";
  EXPECT_EQ(ClientCodeIn(dev, 61), std::optional<int32_t>(4711));
  EXPECT_EQ(RecordData(dev, 1, 61, "EUR   ", 4), "Euro");
  // The client record is the documents module's: key CODCLI, 4 bytes little-endian.
  const std::string key = "CODCLI";
  EXPECT_NE(dev.find(key + std::string("\x0C\x00\x67\x12\x00\x00", 6)), std::string::npos)
      << "entry: key, length word 12, 4711 = 67 12 00 00";

  const fs::path layout2 = vantor / "Layout2";
  const std::string obi2 = ReadFileBytes(layout2 / "obi.dat");
  ASSERT_GE(obi2.size(), 512u);
  EXPECT_EQ(Le32(obi2, 10), 0u) << "a self-describing dev.dat needs no count from obi.dat";
  const std::string dev2 = ReadFileBytes(layout2 / "dev.dat");
  ASSERT_EQ(dev2.size(), 64u * 512u);
  EXPECT_EQ(Le16(dev2, 0), 0x70FFu);
  EXPECT_EQ(dev2.substr(2, 16), std::string(16, '*'));
  EXPECT_EQ(Le32(dev2, 18), 61u);
  EXPECT_EQ(ClientCodeIn(dev2, 0), std::optional<int32_t>(4711));
  EXPECT_EQ(RecordData(dev2, 2, 61, "USD   ", 14), "Dolar american");
}

TEST(SampleSuite, DocumentsDirectoryFileInErpNamesTheSuitesFolders) {
  TempDir bin, suite;
  FillBinFolder(bin.path(), false);
  BuildSampleSuite(suite.path(), bin.path());
  const std::string record = ReadFileBytes(suite.path() / "ERP" / "DIRVAN.DAT");
  ASSERT_EQ(record.size(), 512u);
  const SuiteFolders folders(suite.path());
  auto field = [](std::string text) {
    text.resize(40, ' ');
    return text;
  };
  EXPECT_EQ(record.substr(180, 40), field(SuiteFolderField(folders, "Vantor")));
  EXPECT_EQ(record.substr(220, 40), field(SuiteFolderField(folders, "Vantor")));
  EXPECT_EQ(record.substr(260, 40), field(SuiteFolderField(folders, "Kelbar\\FIRMA")));
  EXPECT_EQ(record.substr(312, 40), field(SuiteFolderField(folders, "ERP")));
  // The values of a new file: 60, 60, "NN", 0 at 310, mode "R", "N" at 358.
  EXPECT_EQ(record.substr(300, 6), std::string("\x3C\x00\x3C\x00NN", 6));
  EXPECT_EQ(record.substr(310, 2), std::string("\x00\x00", 2));
  EXPECT_EQ(record[354], 'R');
  EXPECT_EQ(record[358], 'N');
  EXPECT_EQ(record.substr(0, 180), std::string(180, ' '));
  EXPECT_EQ(record.substr(306, 4), "    ");
  EXPECT_EQ(record.substr(352, 2), "  ");
  EXPECT_EQ(record.substr(359, 512 - 359), std::string(512 - 359, ' '));
}

TEST(SampleSuite, FolderFieldsAreFullPathsWhenTheyFitElseRelativeToErp) {
  const std::string shortRoot = WindowsPathOf(fs::path("/s"));
  ASSERT_GE(shortRoot.size(), 3u);
  EXPECT_EQ(shortRoot.substr(1, 2), ":\\");
  EXPECT_EQ(SuiteFolderField(SuiteFolders(fs::path("/s")), "Kelbar\\FIRMA"), shortRoot + "\\Kelbar\\FIRMA");
  const fs::path longRoot = fs::path("/") / std::string(40, 'x');
  EXPECT_EQ(SuiteFolderField(SuiteFolders(longRoot), "Vantor"), "..\\Vantor");
  EXPECT_EQ(SuiteFolderField(SuiteFolders(longRoot), "ERP"), "..\\ERP");
#ifndef _WIN32
  EXPECT_EQ(WindowsPathOf("/work/suite/ERP/"), "Z:\\work\\suite\\ERP");
#endif
}

TEST(LaunchRecord, FormatsThreeTabSeparatedFieldsOnOneLine) {
  const LaunchRecord record{"C:\\S\\ERP\\trovel.exe", "C:\\S\\ERP", "C:\\S\\ERP\\trovel.exe -x\tb\r\nc"};
  const std::string line = FormatLaunchRecord(record);
  EXPECT_EQ(line, "C:\\S\\ERP\\trovel.exe\tC:\\S\\ERP\tC:\\S\\ERP\\trovel.exe -x b  c\r\n");
  const auto parsed = ParseLaunchRecord(line);
  ASSERT_TRUE(parsed.has_value());
  EXPECT_EQ(parsed->program, record.program);
  EXPECT_EQ(parsed->currentDirectory, "C:\\S\\ERP");
  EXPECT_EQ(parsed->commandLine, "C:\\S\\ERP\\trovel.exe -x b  c");
}

TEST(LaunchRecord, RejectsLinesWithoutExactlyThreeFields) {
  EXPECT_FALSE(ParseLaunchRecord(""));
  EXPECT_FALSE(ParseLaunchRecord("a\tb"));
  EXPECT_FALSE(ParseLaunchRecord("a\tb\tc\td"));
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
  EXPECT_EQ(RecorderControlFile("C:\\S\\Morvin\\MORVINW.exe", ".exitcode"), "C:\\S\\Morvin\\MORVINW.exitcode");
  EXPECT_EQ(RecorderControlFile("C:\\a.b\\noext", ".hold"), "C:\\a.b\\noext.hold");
}

TEST(LaunchLog, ReadsRecordsInOrderAndSkipsBrokenLines) {
  TempDir suite;
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

TEST(LaunchLog, MissingLogMeansNoLaunches) {
  TempDir suite;
  EXPECT_TRUE(ReadLaunches(suite.path()).empty());
}

}  // namespace
}  // namespace velmora::standins
