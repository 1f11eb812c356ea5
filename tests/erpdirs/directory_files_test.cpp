// The four directory files kept up to date at start: new files byte for byte,
// every failure with its message, the tolerant payroll reader and the
// refresh of the path fields, on files held in memory.

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "erpdirs/accounting_directory_image.h"
#include "erpdirs/environment_steps.h"
#include "erpdirs/erp_directory_image.h"
#include "erpdirs/fixed_assets_directory_image.h"
#include "erpdirs/memory_record_files.h"
#include "erpdirs/payroll_directory_image.h"
#include "expected_files.h"

namespace velmora::erpdirs {
namespace {

using testing::Bytes;
using testing::FirstDifference;

std::string ImageText(std::span<const char> image) { return {image.begin(), image.end()}; }

std::string Padded80(std::string text) {
  text.resize(80, ' ');
  return text;
}

struct FileCase {
  const DirectoryFileKind* kind;
  std::size_t imageSize;
  std::string (*newFile)();
  const char* createMessage;
  const char* writeMessage;
  const char* openMessage;
  const char* readMessage;
};

void PrintTo(const FileCase& c, std::ostream* os) { *os << c.kind->name; }

const FileCase kFiles[] = {
    {&kErpDirectoryFile, 2048, &testing::NewErpDirectoryFile,
     "** Spatiu insuficient pentru fisierul DIRERP.DAT **", "** Eroare Scriere fisier DIRERP.DAT **",
     "** Eroare Deschidere fisier DIRERP.DAT **", "** Eroare Citire fisier DIRERP.DAT **"},
    {&kAccountingDirectoryFile, 2048, &testing::NewAccountingDirectoryFile,
     "** Spatiu insuficient pentru fisierul DIRKEL.DAT **", "** Eroare Scriere fisier DIRKEL.DAT **",
     "** Eroare Deschidere fisier DIRKEL.DAT **", "** Eroare Citire fisier DIRKEL.DAT **"},
    {&kPayrollDirectoryFile, 8192, &testing::NewPayrollDirectoryFile,
     "** Spatiu insuficient pentru fisierul DIRMOR.DAT **", "** Eroare Scriere fisier DIRMOR.DAT **",
     "** Eroare Deschidere fisier DIRMOR.DAT **", "** Eroare Citire fisier DIRMOR.DAT **"},
    {&kFixedAssetsDirectoryFile, 2048, &testing::NewFixedAssetsDirectoryFile,
     "** Spatiu insuficient pentru fisierul DIRTES.DAT **", "** Eroare Scriere fisier DIRTES.DAT **",
     "** Eroare Deschidere fisier DIRTES.DAT **", "** Eroare Citire fisier DIRTES.DAT **"},
};

class EveryDirectoryFile : public ::testing::TestWithParam<FileCase> {
 protected:
  DirectoryFileResult Load() {
    return ResultOf(LoadDirectoryFile(files_, *GetParam().kind, image_), GetParam().kind->name);
  }
  MemoryRecordFileSystem files_;
  std::string image_ = std::string(GetParam().imageSize, '#');
};

TEST_P(EveryDirectoryFile, MissingFileIsCreatedWithItsDefaultsAndRead) {
  const auto result = Load();
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.message, std::string(80, ' '));
  const std::string expected = GetParam().newFile();
  const std::string written = files_.Get(GetParam().kind->name);
  EXPECT_EQ(written.size(), expected.size());
  EXPECT_EQ(FirstDifference(written, expected), -1);
  EXPECT_EQ(FirstDifference(image_, expected), -1);
}

TEST_P(EveryDirectoryFile, EachFailureEndsInItsOwnMessage) {
  const FileCase& c = GetParam();
  {
    SCOPED_TRACE("the folder takes no new file");
    files_.faults().create = true;
    const auto result = Load();
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.message, Padded80(c.createMessage));
    EXPECT_FALSE(files_.Has(c.kind->name));
    files_.faults().create = false;
  }
  {
    SCOPED_TRACE("the new file cannot be written");
    files_.faults().writeRecords = {2};
    const auto result = Load();
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.message, Padded80(c.writeMessage));
    EXPECT_FALSE(files_.Has(c.kind->name)) << "a half-written new file is taken back";
    files_.faults().writeRecords.clear();
  }
  {
    SCOPED_TRACE("the file exists but cannot be opened");
    files_.Put(c.kind->name, c.newFile());
    files_.faults().open = true;
    const auto result = Load();
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.message, Padded80(c.openMessage));
    files_.faults().open = false;
  }
  {
    SCOPED_TRACE("the file is too short");
    files_.Put(c.kind->name, std::string(1024, ' '));
    const auto result = Load();
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.message, Padded80(c.readMessage));
  }
  {
    SCOPED_TRACE("a record cannot be read");
    files_.Put(c.kind->name, c.newFile());
    files_.faults().readRecords = {2};
    const auto result = Load();
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.message, Padded80(c.readMessage));
  }
}

TEST_P(EveryDirectoryFile, OpenReportsItsMessageOnlyOnFailure) {
  const FileCase& c = GetParam();
  DirectoryFileResult result;
  EXPECT_EQ(OpenDirectoryFile(files_, *c.kind, result), nullptr);
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.message, Padded80(c.openMessage));
  files_.Put(c.kind->name, c.newFile());
  EXPECT_NE(OpenDirectoryFile(files_, *c.kind, result), nullptr);
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.message, std::string(80, ' '));
}

TEST_P(EveryDirectoryFile, ALongerFileIsAcceptedAndItsFurtherRecordsAreLeftAlone) {
  const FileCase& c = GetParam();
  const std::string tail(512, 'T');
  files_.Put(c.kind->name, c.newFile() + tail);
  EXPECT_EQ(Load().status, 0);
  const auto outcome = RefreshDirectoryFile(files_, *c.kind, image_, nullptr);
  EXPECT_TRUE(outcome.opened);
  const std::string after = files_.Get(c.kind->name);
  EXPECT_EQ(after, c.newFile() + tail);
}

INSTANTIATE_TEST_SUITE_P(Files, EveryDirectoryFile, ::testing::ValuesIn(kFiles),
                         [](const auto& info) { return std::string(info.param.kind->name.substr(0, 6)); });

TEST(ErpDirectoryFile, ReadFailureKeepsWhatTheEarlierRecordsBroughtIn) {
  // 1536 bytes: three records, the fourth missing.
  MemoryRecordFileSystem files;
  files.Put("DIRERP.DAT", std::string(512, 'a') + std::string(512, 'b') + std::string(512, 'c'));
  ErpDirectoryImage image;
  image.fill('z');
  EXPECT_EQ(LoadDirectoryFile(files, kErpDirectoryFile, image), LoadFailure::kRead);
  EXPECT_EQ(ImageText(image), std::string(512, 'a') + std::string(512, 'b') + std::string(512, 'c') +
                                  std::string(512, 'z'));
}

TEST(ErpDirectoryFile, RefreshFromSuiteErpWritesRecord3AndNothingElse) {
  MemoryRecordFileSystem files;
  std::string existing;
  for (char c : {'1', '2', '3', '4'}) existing += std::string(512, c);
  files.Put("DIRERP.DAT", existing);
  ErpDirectoryImage image;
  const auto outcome = RefreshErpDirectoryFile(files, image, "D:\\Suite\\ERP");
  EXPECT_EQ(outcome.load.status, 0);
  EXPECT_TRUE(outcome.opened);
  Bytes expected(existing);
  testing::PutErpPaths(expected, "D:\\Suite\\");
  EXPECT_EQ(files.Get("DIRERP.DAT"), expected.str());
  EXPECT_EQ(files.Get("DIRERP.DAT").substr(1024, 40), testing::Path40("D:\\Suite\\VANTOR"));
}

TEST(ErpDirectoryFile, RefreshWithoutErpInTheDirectoryKeepsThePaths) {
  for (const char* start : {"C:\\Programs\\Suite", "ERP\\Suite", "erp", ""}) {
    SCOPED_TRACE(start);
    MemoryRecordFileSystem files;
    const std::string existing(2048, 'k');
    files.Put("DIRERP.DAT", existing);
    ErpDirectoryImage image;
    EXPECT_TRUE(RefreshErpDirectoryFile(files, image, start).opened);
    EXPECT_EQ(files.Get("DIRERP.DAT"), existing);
  }
}

TEST(ErpDirectoryFile, RefreshOfAMissingFileCreatesItWithPaths) {
  MemoryRecordFileSystem files;
  ErpDirectoryImage image;
  RefreshErpDirectoryFile(files, image, "c:\\suite\\erp");
  Bytes expected(testing::NewErpDirectoryFile());
  testing::PutErpPaths(expected, "c:\\suite\\");
  EXPECT_EQ(files.Get("DIRERP.DAT"), expected.str());
}

TEST(ErpDirectoryFile, RefreshOfAShortFileReportsTheReadAndStillWritesAllRecords) {
  MemoryRecordFileSystem files;
  files.Put("DIRERP.DAT", std::string(1536, 'q'));
  ErpDirectoryImage image;
  image.fill(' ');
  const auto outcome = RefreshErpDirectoryFile(files, image, "D:\\Suite\\ERP");
  EXPECT_EQ(outcome.load.status, 1);
  EXPECT_EQ(outcome.load.message, Padded80("** Eroare Citire fisier DIRERP.DAT **"));
  EXPECT_TRUE(outcome.opened);
  Bytes expected(std::string(1536, 'q') + std::string(512, ' '));
  testing::PutErpPaths(expected, "D:\\Suite\\");
  EXPECT_EQ(files.Get("DIRERP.DAT"), expected.str());
}

TEST(ErpDirectoryFile, RefreshEndsQuietlyWhenTheFileCannotBeOpenedAfterLoading) {
  MemoryRecordFileSystem files;
  files.Put("DIRERP.DAT", std::string(2048, 'q'));
  files.faults().open = true;
  ErpDirectoryImage image;
  const auto outcome = RefreshErpDirectoryFile(files, image, "D:\\Suite\\ERP");
  EXPECT_EQ(outcome.load.message, Padded80("** Eroare Deschidere fisier DIRERP.DAT **"));
  EXPECT_FALSE(outcome.opened);
  EXPECT_EQ(files.Get("DIRERP.DAT"), std::string(2048, 'q'));
}

TEST(ErpDirectoryFile, PathsLongerThanFortyCharactersAreCut) {
  MemoryRecordFileSystem files;
  ErpDirectoryImage image;
  const std::string root = "D:\\A-rather-long-folder-of-the-suite\\";  // 37 characters
  ASSERT_EQ(root.size(), 37u);
  RefreshErpDirectoryFile(files, image, root + "ERP");
  const std::string file = files.Get("DIRERP.DAT");
  EXPECT_EQ(file.substr(1024, 40), root + "VAN");
  EXPECT_EQ(file.substr(1064, 40), root + "KEL");
  EXPECT_EQ(file.substr(1184, 40), std::string(40, ' ')) << "the field after the paths stays blank";
}

TEST(AccountingDirectoryFile, NewFileHoldsTheDocumentedBytes) {
  const std::string f = testing::NewAccountingDirectoryFile();
  AccountingDirectoryImage image;
  SetAccountingDirectoryDefaults(image);
  EXPECT_EQ(ImageText(image).substr(512, 2), std::string("\xD4\x07", 2));
  EXPECT_EQ(ImageText(image).substr(542, 4), "FIFO");
  EXPECT_EQ(ImageText(image).substr(622, 40), testing::Path40("C:\\KELBAR\\FileGen"));
  EXPECT_EQ(ImageText(image).substr(1026, 11), "GESTIUNEA 1");
  EXPECT_EQ(ImageText(image).substr(12, 8), std::string("\0\0\0\0\0\0\x24\x40", 8));
  EXPECT_EQ(FirstDifference(ImageText(image), f), -1);
}

TEST(FixedAssetsDirectoryFile, NewFileHoldsTheCoefficientTableAndTheFirstStockLocation) {
  FixedAssetsDirectoryImage image;
  SetFixedAssetsDirectoryDefaults(image);
  const std::string f = ImageText(image);
  const std::string coefficients("\x02\x00\x05\x00\x00\x00\x00\x00\x00\x00\xF8\x3F"
                                 "\x05\x00\x0A\x00\x00\x00\x00\x00\x00\x00\x00\x40"
                                 "\x0A\x00\x30\x75\x00\x00\x00\x00\x00\x00\x04\x40",
                                 36);
  EXPECT_EQ(f.substr(792, 36), coefficients);
  EXPECT_EQ(f.substr(1026, 11), "Gestiunea 1");
  EXPECT_EQ(FirstDifference(f, testing::NewFixedAssetsDirectoryFile()), -1);
}

TEST(PayrollDirectoryFile, NewFileHoldsItsSettingsAndTables) {
  PayrollDirectoryImage image;
  SetPayrollDirectoryDefaults(image);
  const std::string f = ImageText(image);
  EXPECT_EQ(f.substr(198, 4), std::string("\xE6\x07\x00\x00", 4));  // 2022
  EXPECT_EQ(f.substr(5120, 2), std::string("\x01\x00", 2));
  EXPECT_EQ(f.substr(5122, 40), testing::Path40("Boala obisnuita"));
  EXPECT_EQ(f.substr(5120 + 44 + 2, 40), "Accident in deplasarea la locul de munca") << "fills its 40 characters";
  EXPECT_EQ(FirstDifference(f, testing::NewPayrollDirectoryFile()), -1);
}

struct PayrollReadCase {
  int failingRecord;
  int16_t status;
  int departments, medicalLeave, tableA, tableB;  // counts in the image afterwards
};

TEST(PayrollDirectoryFile, TheTolerantReaderZeroesTheCountOfEachLostTable) {
  // A full file whose four counts are 7, 15, 3 and 4.
  Bytes file(testing::NewPayrollDirectoryFile());
  file.I16(18, 7).I16(206, 3).I16(208, 4);
  const PayrollReadCase cases[] = {
      {0, 0, 7, 15, 3, 4},  {4, 0, 7, 15, 3, 4},  {5, 0, 0, 15, 3, 4},  {6, 0, 0, 15, 3, 4},
      {7, 0, 7, 15, 3, 4},  {10, 0, 7, 15, 3, 4}, {11, 0, 7, 0, 3, 4},  {12, 0, 7, 0, 3, 4},
      {13, 0, 7, 15, 0, 4}, {14, 0, 7, 15, 0, 4}, {15, 0, 7, 15, 3, 0}, {16, 0, 7, 15, 3, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE("unreadable record " + std::to_string(c.failingRecord));
    MemoryRecordFileSystem files;
    files.Put("DIRMOR.DAT", file.str());
    if (c.failingRecord) files.faults().readRecords = {c.failingRecord};
    PayrollDirectoryImage image;
    image.fill('#');
    EXPECT_EQ(LoadDirectoryFile(files, kPayrollDirectoryFile, image) == LoadFailure::kNone ? 0 : 1, c.status);
    const std::string got = ImageText(image);
    Bytes expected(file.str());
    expected.I16(18, c.departments).I16(220, c.medicalLeave).I16(206, c.tableA).I16(208, c.tableB);
    if (c.failingRecord) expected.Fill(static_cast<std::size_t>(c.failingRecord - 1) * 512, 512, ' ');
    EXPECT_EQ(FirstDifference(got, expected.str()), -1);
  }
}

TEST(PayrollDirectoryFile, AnUnreadableEarlyRecordEndsTheReadWithTheRestBlank) {
  for (int failing : {1, 2, 3}) {
    SCOPED_TRACE(failing);
    MemoryRecordFileSystem files;
    files.Put("DIRMOR.DAT", testing::NewPayrollDirectoryFile());
    files.faults().readRecords = {failing};
    PayrollDirectoryImage image;
    image.fill('#');
    EXPECT_EQ(LoadDirectoryFile(files, kPayrollDirectoryFile, image), LoadFailure::kRead);
    const std::string got = ImageText(image);
    const std::size_t readBytes = static_cast<std::size_t>(failing - 1) * 512;
    EXPECT_EQ(got.substr(0, readBytes), testing::NewPayrollDirectoryFile().substr(0, readBytes));
    EXPECT_EQ(got.substr(readBytes), std::string(8192 - readBytes, ' '));
  }
}

TEST(PayrollDirectoryFile, AnOlderFourRecordFileLoadsAndGrowsWithEmptyTables) {
  const std::string older = testing::NewPayrollDirectoryFile().substr(0, 2048);
  MemoryRecordFileSystem files;
  files.Put("DIRMOR.DAT", older);
  PayrollDirectoryImage image;
  const auto outcome =
      RefreshModuleDirectoryFile(files, ModuleSteps()[1], image, "D:\\Suite\\ERP", "D:\\Suite\\");
  EXPECT_EQ(outcome.load.status, 0);
  const std::string after = files.Get("DIRMOR.DAT");
  ASSERT_EQ(after.size(), 8192u);
  Bytes expected(older + std::string(6144, ' '));
  expected.I16(18, 0).I16(220, 0).I16(206, 0).I16(208, 0);
  testing::PutPayrollPaths(expected, "D:\\Suite\\ERP", "D:\\Suite\\");
  EXPECT_EQ(FirstDifference(after, expected.str()), -1);
}

TEST(PayrollDirectoryFile, ATwoRecordFileCannotBeRead) {
  MemoryRecordFileSystem files;
  files.Put("DIRMOR.DAT", testing::NewPayrollDirectoryFile().substr(0, 1024));
  PayrollDirectoryImage image;
  const auto result = ResultOf(LoadDirectoryFile(files, kPayrollDirectoryFile, image), "DIRMOR.DAT");
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.message, Padded80("** Eroare Citire fisier DIRMOR.DAT **"));
}

TEST(ModuleSteps, RunInOrderWithTheirExactMessages) {
  const auto steps = ModuleSteps();
  ASSERT_EQ(steps.size(), 3u);
  EXPECT_EQ(steps[0].directoryName, "KELBAR");
  EXPECT_EQ(steps[0].moduleMessage, "Pozitionare imposibila in Directorul KELBAR !");
  EXPECT_EQ(steps[0].folderMessage, "Pozitionare imposibila in Directorul FIRMA (1)!");
  EXPECT_EQ(steps[0].file->name, "DIRKEL.DAT");
  EXPECT_TRUE(steps[0].keyedFile);
  EXPECT_EQ(steps[1].directoryName, "MORVIN");
  EXPECT_EQ(steps[1].moduleMessage, "Pozitionare imposibila in Directorul MORVIN !");
  EXPECT_EQ(steps[1].folderMessage, "Pozitionare imposibila in Directorul FIRMA (2)!");
  EXPECT_EQ(steps[1].file->name, "DIRMOR.DAT");
  EXPECT_FALSE(steps[1].keyedFile);
  EXPECT_EQ(steps[2].directoryName, "TESSLO");
  EXPECT_EQ(steps[2].moduleMessage, "Pozitionare imposibila in Directorul TESSLO !");
  EXPECT_EQ(steps[2].folderMessage, "Pozitionare imposibila in Directorul FIRMA (3) !");
  EXPECT_EQ(steps[2].file->name, "DIRTES.DAT");
  EXPECT_FALSE(steps[2].keyedFile);
}

TEST(ModuleSteps, NewModuleFilesGetTheirDefaultsAndThePathsOfTheSuite) {
  const std::string start = "D:\\Suite\\ERP";
  const std::string root = "D:\\Suite\\";
  struct Expectation {
    std::string (*newFile)();
    void (*putPaths)(Bytes&, std::string_view, std::string_view);
  };
  const Expectation expectations[] = {
      {&testing::NewAccountingDirectoryFile, &testing::PutAccountingPaths},
      {&testing::NewPayrollDirectoryFile, &testing::PutPayrollPaths},
      {&testing::NewFixedAssetsDirectoryFile, &testing::PutFixedAssetsPaths},
  };
  for (std::size_t i = 0; i < 3; ++i) {
    const ModuleStep& step = ModuleSteps()[i];
    SCOPED_TRACE(std::string(step.file->name));
    MemoryRecordFileSystem files;
    std::string image(static_cast<std::size_t>(step.file->recordCount) * 512, ' ');
    const auto outcome = RefreshModuleDirectoryFile(files, step, image, start, root);
    EXPECT_EQ(outcome.load.status, 0);
    EXPECT_TRUE(outcome.opened);
    Bytes expected(expectations[i].newFile());
    expectations[i].putPaths(expected, start, root);
    EXPECT_EQ(FirstDifference(files.Get(step.file->name), expected.str()), -1);
  }
  // The documented spots, spelled out.
  MemoryRecordFileSystem files;
  std::string image(2048, ' ');
  RefreshModuleDirectoryFile(files, ModuleSteps()[0], image, start, root);
  EXPECT_EQ(files.Get("DIRKEL.DAT").substr(622, 40), testing::Path40("D:\\Suite\\KELBAR\\FILEGEN"));
}

TEST(ModuleSteps, RefreshChangesOnlyThePathFieldsOfAnExistingFile) {
  // Every byte of the existing files differs from what the refresh writes.
  const std::string start = "E:\\Firm\\ERP";
  const std::string root = "E:\\Firm\\";
  struct Expectation {
    std::size_t size;
    void (*putPaths)(Bytes&, std::string_view, std::string_view);
  };
  const Expectation expectations[] = {
      {2048, &testing::PutAccountingPaths}, {8192, &testing::PutPayrollPaths}, {2048, &testing::PutFixedAssetsPaths}};
  for (std::size_t i = 0; i < 3; ++i) {
    const ModuleStep& step = ModuleSteps()[i];
    SCOPED_TRACE(std::string(step.file->name));
    std::string existing(expectations[i].size, '\0');
    for (std::size_t k = 0; k < existing.size(); ++k) existing[k] = static_cast<char>(0x80 + k % 61);
    MemoryRecordFileSystem files;
    files.Put(step.file->name, existing);
    std::string image(expectations[i].size, ' ');
    RefreshModuleDirectoryFile(files, step, image, start, root);
    Bytes expected(existing);
    expectations[i].putPaths(expected, start, root);
    EXPECT_EQ(FirstDifference(files.Get(step.file->name), expected.str()), -1);
  }
}

}  // namespace
}  // namespace velmora::erpdirs
