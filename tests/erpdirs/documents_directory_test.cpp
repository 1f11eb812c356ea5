// DIRVAN.DAT on files held in memory: the new file, the mode letter, the
// texts of every failure, the data paths and the record the launcher writes.

#include <gtest/gtest.h>

#include <string>

#include "erpdirs/documents_directory_image.h"
#include "erpdirs/memory_record_files.h"
#include "expected_files.h"

namespace velmora::erpdirs {
namespace {

using testing::Bytes;

std::string Text(const Record& r) { return {r.begin(), r.end()}; }

Record RecordOf(std::string_view bytes) {
  Record r;
  std::copy(bytes.begin(), bytes.end(), r.begin());
  return r;
}

TEST(DocumentsDirectoryFile, MissingFileIsCreatedWithTheDocumentedBytes) {
  MemoryRecordFileSystem files;
  Record image;
  image.fill('#');
  EXPECT_EQ(LoadDocumentsDirectory(files, image), LoadFailure::kNone);
  EXPECT_EQ(files.Get("DIRVAN.DAT"), testing::NewDocumentsDirectoryFile());
  EXPECT_EQ(Text(image), testing::NewDocumentsDirectoryFile());
  Record defaults;
  SetDocumentsDirectoryDefaults(defaults);
  EXPECT_EQ(Text(defaults), testing::NewDocumentsDirectoryFile());
}

TEST(DocumentsDirectoryFile, TheModeLetterIsEOrRInTheImageAndTheFileKeepsItsByte) {
  struct Case {
    char inFile;
    char inImage;
  };
  const Case cases[] = {{'E', 'E'}, {'R', 'R'}, {'X', 'R'}, {'e', 'R'}, {' ', 'R'}, {'\0', 'R'}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(1, c.inFile));
    Bytes file(testing::NewDocumentsDirectoryFile());
    file.Raw(354, {c.inFile});
    MemoryRecordFileSystem files;
    files.Put("dirvan.dat", file.str() + std::string(512, 'L'));  // a longer file is fine
    Record image;
    EXPECT_EQ(LoadDocumentsDirectory(files, image), LoadFailure::kNone);
    EXPECT_EQ(image[354], c.inImage);
    EXPECT_EQ(files.Get("DIRVAN.DAT")[354], c.inFile);
  }
}

TEST(DocumentsDirectoryFile, AFailedReadKeepsTheImageButStillNormalisesTheModeLetter) {
  MemoryRecordFileSystem files;
  files.Put("DIRVAN.DAT", "");  // empty
  Bytes before(512, 'p');
  before.Raw(354, {'X'});
  Record image = RecordOf(before.str());
  EXPECT_EQ(LoadDocumentsDirectory(files, image), LoadFailure::kRead);
  before.Raw(354, {'R'});
  EXPECT_EQ(Text(image), before.str());
}

TEST(DocumentsDirectoryFile, FailuresBeforeTheReadLeaveTheModeLetterAlone) {
  MemoryRecordFileSystem files;
  files.Put("DIRVAN.DAT", testing::NewDocumentsDirectoryFile());
  files.faults().open = true;
  Record image;
  image.fill('X');
  EXPECT_EQ(LoadDocumentsDirectory(files, image), LoadFailure::kOpen);
  EXPECT_EQ(image[354], 'X');
}

TEST(DocumentsDirectoryFile, EveryFailureHasItsShownAndItsQuietText) {
  struct Case {
    LoadFailure failure;
    const char* shown;
    const char* quiet;
  };
  const Case cases[] = {
      {LoadFailure::kCreate, "** Spatiu insuficient pentru fisierul DIRVAN.DAT **",
       "Spatiu insuficient pentru fisierul DIRVAN.DAT!"},
      {LoadFailure::kWrite, "** Eroare Scriere fisier DIRVAN.DAT **", "Eroare scriere fisier DIRVAN.DAT!"},
      {LoadFailure::kOpen, "** Eroare Deschidere fisier DIRVAN.DAT **", "Eroare deschidere fisier DIRVAN.DAT!"},
      {LoadFailure::kRead, "** Eroare Citire fisier DIRVAN.DAT **", "Eroare citire fisier DIRVAN.DAT!"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DocumentsLoadMessage(c.failure), c.shown);
    EXPECT_EQ(DocumentsQuietLoadMessage(c.failure), c.quiet);
  }
  EXPECT_EQ(DocumentsQuietLoadMessage(LoadFailure::kNone), "");
}

TEST(DocumentsDirectoryFile, EachFailureIsReachedFromItsSituation) {
  Record image;
  {
    MemoryRecordFileSystem files;
    files.faults().create = true;
    EXPECT_EQ(LoadDocumentsDirectory(files, image), LoadFailure::kCreate);
  }
  {
    MemoryRecordFileSystem files;
    files.faults().writeRecords = {1};
    EXPECT_EQ(LoadDocumentsDirectory(files, image), LoadFailure::kWrite);
    EXPECT_FALSE(files.Has("DIRVAN.DAT")) << "an empty DIRVAN.DAT would fail every later load";
  }
  {
    MemoryRecordFileSystem files;
    files.Put("DIRVAN.DAT", std::string(511, ' '));
    EXPECT_EQ(LoadDocumentsDirectory(files, image), LoadFailure::kRead);
  }
}

TEST(DocumentsDataPath, JoinsTheDataDirectoryAndTheName) {
  struct Case {
    std::string directory;  // the 40-character field's content
    std::string name;
    std::string expected;   // before the blank padding to 60
  };
  const Case cases[] = {
      {"D:\\Suite\\VANTOR", "obi.dat", std::string("D:\\Suite\\VANTOR\\obi.dat\0", 24)},
      {"", "dev.dat", std::string("dev.dat\0", 8)},
      {std::string("\0D:\\x", 5), "dev.dat", std::string("dev.dat\0", 8)},
      {"D:\\Suite\\", "obi.dat", std::string("D:\\Suite\\\\obi.dat\0", 18)},
      {"C:\\V", "CURSVAL.DAT   ", std::string("C:\\V\\CURSVAL.DAT\0", 17)},
      {"C:\\V", "ABCDEFGHIJKLMNOP", std::string("C:\\V\\ABCDEFGHIJKLMN\0", 20)},  // names are 14 characters
      {std::string(40, 'd'), "12345678901234", std::string(40, 'd') + "\\12345678901234" + std::string(1, '\0')},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Bytes record(512, ' ');
    record.Field(180, 40, c.directory);
    const std::string path = DocumentsDataPath(RecordOf(record.str()), c.name);
    ASSERT_EQ(path.size(), 60u);
    std::string expected = c.expected;
    expected.resize(60, ' ');
    EXPECT_EQ(path, expected);
  }
}

TEST(LauncherDocumentsRecord, OnTheLaunchersDriveThePathsLoseTheirDrive) {
  const Record record = BuildLauncherDocumentsRecord("C:\\Suite", "C:\\Suite\\ERP\\", "c:\\Suite\\ERP");
  Bytes expected(512, ' ');
  expected.Field(180, 40, "\\Suite\\Vantor").Field(220, 40, "\\Suite\\Vantor");
  expected.Field(260, 40, "\\Suite\\Kelbar\\FIRMA");
  expected.Raw(300, {0x3C, 0x00, 0x3C, 0x00});
  expected.Raw(306, {0, 0, 0, 0}).Raw(310, {0, 0});
  expected.Field(312, 40, "\\Suite\\ERP");
  expected.Raw(352, {0, 0}).Raw(358, {'N', 0, 0, 0, 0});
  EXPECT_EQ(Text(record), expected.str());
  EXPECT_EQ(record[304], ' ');
  EXPECT_EQ(record[305], ' ');
  EXPECT_EQ(record[354], ' ');
}

TEST(LauncherDocumentsRecord, OnAnotherDriveThePathsKeepTheirDrive) {
  const Record record = BuildLauncherDocumentsRecord("C:\\Suite", "C:\\Suite\\ERP\\", "D:\\Work");
  const std::string text = Text(record);
  EXPECT_EQ(text.substr(180, 40), testing::Path40("C:\\Suite\\Vantor"));
  EXPECT_EQ(text.substr(220, 40), testing::Path40("C:\\Suite\\Vantor"));
  EXPECT_EQ(text.substr(260, 40), testing::Path40("C:\\Suite\\Kelbar\\FIRMA"));
  EXPECT_EQ(text.substr(312, 40), testing::Path40("C:\\Suite\\ERP"));
}

TEST(LauncherDocumentsRecord, NetworkPathsAreNeverCut) {
  // Two paths that both start with '\' are not on one drive letter; cutting
  // two characters off them would break them.
  const Record record = BuildLauncherDocumentsRecord("\\\\srv\\suite", "\\\\srv\\suite\\ERP\\", "\\\\srv\\suite\\ERP");
  const std::string text = Text(record);
  EXPECT_EQ(text.substr(180, 40), testing::Path40("\\\\srv\\suite\\Vantor"));
  EXPECT_EQ(text.substr(312, 40), testing::Path40("\\\\srv\\suite\\ERP"));
}

TEST(LauncherDocumentsRecord, LongPathsAreCutAtFortyCharacters) {
  const std::string root = "C:\\" + std::string(40, 'r');
  const Record record = BuildLauncherDocumentsRecord(root, root + "\\ERP\\", "D:\\");
  EXPECT_EQ(Text(record).substr(180, 40), root.substr(0, 40));
  EXPECT_EQ(Text(record).substr(300, 2), std::string("\x3C\x00", 2)) << "the neighbours are untouched";
}

}  // namespace
}  // namespace velmora::erpdirs
