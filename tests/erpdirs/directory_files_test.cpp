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
     "** Spatiu insuficient pentru fisierul DIRERP.DAT **",
     "** Eroare Scriere fisier DIRERP.DAT **", "** Eroare Deschidere fisier DIRERP.DAT **",
     "** Eroare Citire fisier DIRERP.DAT **"},
    {&kAccountingDirectoryFile, 2048, &testing::NewAccountingDirectoryFile,
     "** Spatiu insuficient pentru fisierul DIRKEL.DAT **",
     "** Eroare Scriere fisier DIRKEL.DAT **", "** Eroare Deschidere fisier DIRKEL.DAT **",
     "** Eroare Citire fisier DIRKEL.DAT **"},
    {&kPayrollDirectoryFile, 8192, &testing::NewPayrollDirectoryFile,
     "** Spatiu insuficient pentru fisierul DIRMOR.DAT **",
     "** Eroare Scriere fisier DIRMOR.DAT **", "** Eroare Deschidere fisier DIRMOR.DAT **",
     "** Eroare Citire fisier DIRMOR.DAT **"},
    {&kFixedAssetsDirectoryFile, 2048, &testing::NewFixedAssetsDirectoryFile,
     "** Spatiu insuficient pentru fisierul DIRTES.DAT **",
     "** Eroare Scriere fisier DIRTES.DAT **", "** Eroare Deschidere fisier DIRTES.DAT **",
     "** Eroare Citire fisier DIRTES.DAT **"},
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
                         [](const auto& info) {
                           return std::string(info.param.kind->name.substr(0, 6));
                         });

TEST(ErpDirectoryFile, ReadFailureKeepsWhatTheEarlierRecordsBroughtIn) {
  // 1536 bytes: three records, the fourth missing.
  MemoryRecordFileSystem files;
  files.Put("DIRERP.DAT", std::string(512, 'a') + std::string(512, 'b') + std::string(512, 'c'));
  ErpDirectoryImage image;
  image.fill('z');
  EXPECT_EQ(LoadDirectoryFile(files, kErpDirectoryFile, image), LoadFailure::kRead);
  EXPECT_EQ(ImageText(image), std::string(512, 'a') + std::string(512, 'b') +
                                  std::string(512, 'c') + std::string(512, 'z'));
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

struct PayrollReadCase {
  int records;        // the file's length in records
  int failingRecord;  // a record the file holds but that cannot be read, or 0
  int16_t status;
  int departments, medicalLeave, tableA, tableB;  // counts in the image afterwards
};

TEST(PayrollDirectoryFile, TheTolerantReaderZeroesTheCountOfEachTableAnOlderFileLacks) {
  // A full file whose four counts are 7, 15, 3 and 4.
  Bytes file(testing::NewPayrollDirectoryFile());
  file.I16(18, 7).I16(206, 3).I16(208, 4);
  const PayrollReadCase cases[] = {
      {16, 0, 0, 7, 15, 3, 4},
      {4, 0, 0, 0, 0, 0, 0},
      {5, 0, 0, 0, 0, 0, 0},
      {6, 0, 0, 7, 0, 0, 0},
      {11, 0, 0, 7, 0, 0, 0},
      {12, 0, 0, 7, 15, 0, 0},
      {13, 0, 0, 7, 15, 0, 0},
      {14, 0, 0, 7, 15, 3, 0},
      {15, 0, 0, 7, 15, 3, 0},
      // A table the file holds but that cannot be read keeps its count.
      {16, 4, 1, 7, 15, 3, 4},
      {16, 5, 1, 7, 15, 3, 4},
      {16, 12, 1, 7, 15, 3, 4},
      {16, 16, 1, 7, 15, 3, 4},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.records) + " records, unreadable record " +
                 std::to_string(c.failingRecord));
    MemoryRecordFileSystem files;
    const std::size_t size = static_cast<std::size_t>(c.records) * 512;
    files.Put("DIRMOR.DAT", file.str().substr(0, size));
    if (c.failingRecord) files.faults().readRecords = {c.failingRecord};
    PayrollDirectoryImage image;
    image.fill('#');
    EXPECT_EQ(LoadDirectoryFile(files, kPayrollDirectoryFile, image) == LoadFailure::kNone ? 0 : 1,
              c.status);
    const std::string got = ImageText(image);
    Bytes expected(file.str().substr(0, size) + std::string(8192 - size, ' '));
    expected.I16(18, c.departments).I16(220, c.medicalLeave).I16(206, c.tableA).I16(208, c.tableB);
    if (c.failingRecord)
      expected.Fill(static_cast<std::size_t>(c.failingRecord - 1) * 512, 512, ' ');
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

using RefreshFn = RefreshOutcome (*)(RecordFileSystem&, std::span<char>, std::string_view start,
                                     std::string_view root);

struct RefreshCase {
  const char* name;
  std::string (*newFile)();
  void (*putPaths)(Bytes&, std::string_view start, std::string_view root);
  RefreshFn refresh;
};

const RefreshCase kRefreshes[] = {
    {"DIRERP.DAT", &testing::NewErpDirectoryFile,
     [](Bytes& f, std::string_view, std::string_view root) { testing::PutErpPaths(f, root); },
     [](RecordFileSystem& f, std::span<char> image, std::string_view start, std::string_view) {
       return RefreshErpDirectoryFile(f, image, start);
     }},
    {"DIRKEL.DAT", &testing::NewAccountingDirectoryFile, &testing::PutAccountingPaths,
     [](RecordFileSystem& f, std::span<char> image, std::string_view start, std::string_view root) {
       return RefreshModuleDirectoryFile(f, ModuleSteps()[0], image, start, root);
     }},
    {"DIRMOR.DAT", &testing::NewPayrollDirectoryFile, &testing::PutPayrollPaths,
     [](RecordFileSystem& f, std::span<char> image, std::string_view start, std::string_view root) {
       return RefreshModuleDirectoryFile(f, ModuleSteps()[1], image, start, root);
     }},
    {"DIRTES.DAT", &testing::NewFixedAssetsDirectoryFile, &testing::PutFixedAssetsPaths,
     [](RecordFileSystem& f, std::span<char> image, std::string_view start, std::string_view root) {
       return RefreshModuleDirectoryFile(f, ModuleSteps()[2], image, start, root);
     }},
};

TEST(RefreshDirectoryFile, ANewFileGetsItsDefaultsAndThePathsOfTheSuite) {
  for (const RefreshCase& c : kRefreshes) {
    SCOPED_TRACE(c.name);
    MemoryRecordFileSystem files;
    std::string image(c.newFile().size(), ' ');
    const auto outcome = c.refresh(files, image, "D:\\Suite\\ERP", "D:\\Suite\\");
    EXPECT_EQ(outcome.load.status, 0);
    EXPECT_TRUE(outcome.opened);
    Bytes expected(c.newFile());
    c.putPaths(expected, "D:\\Suite\\ERP", "D:\\Suite\\");
    EXPECT_EQ(FirstDifference(files.Get(c.name), expected.str()), -1);
  }
}

TEST(RefreshDirectoryFile, AnExistingFileChangesOnlyInItsPathFields) {
  for (const RefreshCase& c : kRefreshes) {
    SCOPED_TRACE(c.name);
    // Every byte of the existing file differs from what the refresh writes.
    std::string existing(c.newFile().size(), '\0');
    for (std::size_t k = 0; k < existing.size(); ++k)
      existing[k] = static_cast<char>(0x80 + k % 61);
    MemoryRecordFileSystem files;
    files.Put(c.name, existing);
    std::string image(existing.size(), ' ');
    EXPECT_TRUE(c.refresh(files, image, "E:\\Firm\\ERP", "E:\\Firm\\").opened);
    Bytes expected(existing);
    c.putPaths(expected, "E:\\Firm\\ERP", "E:\\Firm\\");
    EXPECT_EQ(FirstDifference(files.Get(c.name), expected.str()), -1);
  }
}

TEST(RefreshDirectoryFile, ARecordTheFileHoldsButCannotReadIsReportedAndNeverWritten) {
  struct Case {
    std::size_t refresh;           // index into kRefreshes
    int failingRecord;             // 0: none
    std::size_t size;              // the existing file cut to this many bytes; 0: whole
    std::size_t keptFrom, keptTo;  // bytes left exactly as they were
  };
  const Case cases[] = {
      {0, 2, 0, 512, 1024},  // DIRERP: record 3 is read and refreshed, records 2 and 4 stay
      {1, 2, 0, 512, 1024},  // DIRKEL: its paths lie in the record not read
      {3, 2, 0, 512, 1024},  // DIRTES
      {2, 2, 0, 512, 8192},  // DIRMOR: the reading ends at record 2, nothing after it is written
      {2, 7, 0, 3072, 3584},
      {0, 0, 1800, 1536, 1800},  // a last record cut short is held, not read whole
  };
  for (const Case& c : cases) {
    const RefreshCase& r = kRefreshes[c.refresh];
    SCOPED_TRACE(std::string(r.name) + " record " + std::to_string(c.failingRecord));
    std::string existing(c.size ? c.size : r.newFile().size(), '\0');
    for (std::size_t k = 0; k < existing.size(); ++k)
      existing[k] = static_cast<char>(0x80 + k % 61);
    MemoryRecordFileSystem files;
    files.Put(r.name, existing);
    if (c.failingRecord) files.faults().readRecords = {c.failingRecord};
    std::string image(r.newFile().size(), ' ');
    const auto outcome = r.refresh(files, image, "E:\\Firm\\ERP", "E:\\Firm\\");
    EXPECT_EQ(outcome.load.message,
              Padded80(std::string("** Eroare Citire fisier ") + r.name + " **"));
    Bytes refreshed(existing +
                    std::string(image.size() - std::min(image.size(), existing.size()), ' '));
    r.putPaths(refreshed, "E:\\Firm\\ERP", "E:\\Firm\\");
    std::string expected = refreshed.str().substr(0, std::max(existing.size(), c.keptTo));
    expected.replace(c.keptFrom, c.keptTo - c.keptFrom, existing, c.keptFrom,
                     c.keptTo - c.keptFrom);
    EXPECT_EQ(FirstDifference(files.Get(r.name), expected), -1);
  }
}

}  // namespace
}  // namespace velmora::erpdirs
