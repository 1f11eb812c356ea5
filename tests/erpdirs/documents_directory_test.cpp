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

TEST(DocumentsDirectoryFile, EachFailureHasItsShownAndItsQuietText) {
  struct Case {
    const char* situation;
    void (*arrange)(MemoryRecordFileSystem&);
    LoadFailure failure;
    const char* shown;
    const char* quiet;
  };
  const Case cases[] = {
      {"the folder takes no new file", [](MemoryRecordFileSystem& f) { f.faults().create = true; },
       LoadFailure::kCreate, "** Spatiu insuficient pentru fisierul DIRVAN.DAT **",
       "Spatiu insuficient pentru fisierul DIRVAN.DAT!"},
      {"the new file cannot be written",
       [](MemoryRecordFileSystem& f) { f.faults().writeRecords = {1}; }, LoadFailure::kWrite,
       "** Eroare Scriere fisier DIRVAN.DAT **", "Eroare scriere fisier DIRVAN.DAT!"},
      {"the file cannot be opened",
       [](MemoryRecordFileSystem& f) {
         f.Put("DIRVAN.DAT", testing::NewDocumentsDirectoryFile());
         f.faults().open = true;
       },
       LoadFailure::kOpen, "** Eroare Deschidere fisier DIRVAN.DAT **",
       "Eroare deschidere fisier DIRVAN.DAT!"},
      {"the file is too short",
       [](MemoryRecordFileSystem& f) { f.Put("DIRVAN.DAT", std::string(511, ' ')); },
       LoadFailure::kRead, "** Eroare Citire fisier DIRVAN.DAT **",
       "Eroare citire fisier DIRVAN.DAT!"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.situation);
    MemoryRecordFileSystem files;
    c.arrange(files);
    Record image;
    image.fill('X');
    EXPECT_EQ(LoadDocumentsDirectory(files, image), c.failure);
    EXPECT_EQ(DocumentsLoadMessage(c.failure), c.shown);
    EXPECT_EQ(DocumentsQuietLoadMessage(c.failure), c.quiet);
    if (c.failure == LoadFailure::kOpen) {
      EXPECT_EQ(image[354], 'X') << "the mode letter is left alone";
    }
    if (c.failure == LoadFailure::kWrite) {
      EXPECT_FALSE(files.Has("DIRVAN.DAT")) << "an empty DIRVAN.DAT would fail every later load";
    }
  }
  EXPECT_EQ(DocumentsQuietLoadMessage(LoadFailure::kNone), "");
}

TEST(DocumentsDataPath, JoinsTheDataDirectoryAndTheName) {
  struct Case {
    std::string directory;  // the 40-character field's content
    std::string name;
    std::string expected;  // before the blank padding to 60
  };
  const Case cases[] = {
      {"D:\\Suite\\VANTOR", "obi.dat", std::string("D:\\Suite\\VANTOR\\obi.dat\0", 24)},
      {"", "dev.dat", std::string("dev.dat\0", 8)},
      {std::string("\0D:\\x", 5), "dev.dat", std::string("dev.dat\0", 8)},
      {"D:\\Suite\\", "obi.dat", std::string("D:\\Suite\\\\obi.dat\0", 18)},
      {"C:\\V", "CURSVAL.DAT   ", std::string("C:\\V\\CURSVAL.DAT\0", 17)},
      {"C:\\V", "ABCDEFGHIJKLMNOP",
       std::string("C:\\V\\ABCDEFGHIJKLMN\0", 20)},  // names are 14 characters
      {std::string(40, 'd'), "12345678901234",
       std::string(40, 'd') + "\\12345678901234" + std::string(1, '\0')},
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

TEST(LauncherDocumentsRecord, PathsLoseTheirDriveOnlyOnTheLaunchersOwnDrive) {
  const std::string longRoot = "C:\\" + std::string(40, 'r');
  struct Case {
    std::string root, current, written;  // `written`: the root as the record's paths hold it
  };
  const Case cases[] = {
      {"C:\\Suite", "c:\\Suite\\ERP", "\\Suite"},
      {"C:\\Suite", "D:\\Work", "C:\\Suite"},
      // Two paths that both start with '\' are not on one drive letter;
      // cutting two characters off them would break them.
      {"\\\\srv\\suite", "\\\\srv\\suite\\ERP", "\\\\srv\\suite"},
      {longRoot, "D:\\", longRoot},  // cut at forty characters, the neighbours untouched
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.root + " from " + c.current);
    EXPECT_EQ(Text(BuildLauncherDocumentsRecord(c.root, c.root + "\\ERP\\", c.current)),
              testing::LauncherDocumentsFile(c.written));
  }
}

}  // namespace
}  // namespace velmora::erpdirs
