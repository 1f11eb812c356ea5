// DIRVAN.DAT in a real folder: creation, the mode letter, the error box and
// the quiet texts, the data paths and the launcher's own record.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "erpdirs/documents_directory.h"
#include "expected_files.h"
#include "support/short_folder.h"
#include "support/temp_dir.h"
#include "support/ui_recorders.h"

namespace velmora::erpdirs {
namespace {

using testing::Bytes;
using velmora::testing::BoxList;
using velmora::testing::BoxRecorder;
using velmora::testing::ReadFileBytes;
using velmora::testing::WriteFileBytes;

constexpr UINT kErrorBoxStyle = MB_TOPMOST | MB_SYSTEMMODAL | MB_ICONWARNING;

class DocumentsFolder : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(SetCurrentDirectoryA(temp_.path().c_str())); }
  std::string File() const { return temp_ / "DIRVAN.DAT"; }

  void ExpectOneErrorBox(const char* text) {
    EXPECT_EQ(BoxRecorder::Boxes(),
              (BoxList{{nullptr, std::string(text), "Eroare", kErrorBoxStyle}}));
  }

  velmora::testing::ShortTempFolder temp_;
  velmora::testing::KeepCurrentDirectory keep_;
  BoxRecorder boxes_;
};

TEST_F(DocumentsFolder, AMissingFileIsCreatedWithItsDefaults) {
  EXPECT_EQ(LoadDocumentsDirectoryFile(), 0);
  EXPECT_TRUE(BoxRecorder::Boxes().empty());
  EXPECT_EQ(ReadFileBytes(File()), testing::NewDocumentsDirectoryFile());
  const Record image = DocumentsDirectoryRecord();
  EXPECT_EQ(std::string(image.begin(), image.end()), testing::NewDocumentsDirectoryFile());
}

TEST_F(DocumentsFolder, ModeLetterXLoadsAsRAndTheFileKeepsX) {
  Bytes file(testing::NewDocumentsDirectoryFile());
  file.Raw(354, {'X'});
  WriteFileBytes(temp_ / "dirvan.dat", file.str());
  EXPECT_EQ(LoadDocumentsDirectoryFile(), 0);
  EXPECT_EQ(DocumentsDirectoryRecord()[354], 'R');
  EXPECT_EQ(ReadFileBytes(File())[354], 'X');
  char message[80];
  std::fill(std::begin(message), std::end(message), '-');
  EXPECT_EQ(LoadDocumentsDirectoryFileQuiet(message), 0);
  EXPECT_EQ(std::string(message, 80), std::string(80, '-')) << "success leaves the message alone";
  EXPECT_EQ(DocumentsDirectoryRecord()[354], 'R');
}

TEST_F(DocumentsFolder, AnEmptyFileIsAReadError) {
  WriteFileBytes(File(), "");
  EXPECT_EQ(LoadDocumentsDirectoryFile(), 1);
  ExpectOneErrorBox("** Eroare Citire fisier DIRVAN.DAT **");
  BoxRecorder::Boxes().clear();
  char message[80];
  EXPECT_EQ(LoadDocumentsDirectoryFileQuiet(message), 1);
  EXPECT_EQ(std::string(message, 80),
            testing::Path40("Eroare citire fisier DIRVAN.DAT!") + std::string(40, ' '));
  char shortField[10];
  EXPECT_EQ(LoadDocumentsDirectoryFileQuiet(shortField), 1);
  EXPECT_EQ(std::string(shortField, 10), "Eroare cit");
  EXPECT_TRUE(BoxRecorder::Boxes().empty()) << "the quiet loader shows nothing";
}

TEST_F(DocumentsFolder, AFileThatCannotBeOpenedIsReported) {
  {
    SCOPED_TRACE("a folder in its place");
    std::filesystem::create_directory(File());
    EXPECT_EQ(LoadDocumentsDirectoryFile(), 1);
    ExpectOneErrorBox("** Eroare Deschidere fisier DIRVAN.DAT **");
    char message[40];
    EXPECT_EQ(LoadDocumentsDirectoryFileQuiet(message), 1);
    EXPECT_EQ(std::string(message, 40), testing::Path40("Eroare deschidere fisier DIRVAN.DAT!"));
    std::filesystem::remove(File());
    BoxRecorder::Boxes().clear();
  }
  {
    SCOPED_TRACE("held open without sharing by another program");
    WriteFileBytes(File(), testing::NewDocumentsDirectoryFile());
    HANDLE exclusive =
        CreateFileA(File().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(exclusive, INVALID_HANDLE_VALUE);
    EXPECT_EQ(LoadDocumentsDirectoryFile(), 1);
    CloseHandle(exclusive);
    ExpectOneErrorBox("** Eroare Deschidere fisier DIRVAN.DAT **");
  }
  {
    SCOPED_TRACE("held open with sharing");
    HANDLE shared =
        CreateFileA(File().c_str(), GENERIC_READ | GENERIC_WRITE,
                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(shared, INVALID_HANDLE_VALUE);
    EXPECT_EQ(LoadDocumentsDirectoryFile(), 0);
    CloseHandle(shared);
  }
}

TEST_F(DocumentsFolder, DataPathsFollowTheDataDirectory) {
  Bytes file(testing::NewDocumentsDirectoryFile());
  file.Field(180, 40, "D:\\Suite\\VANTOR");
  WriteFileBytes(File(), file.str());
  ASSERT_EQ(LoadDocumentsDirectoryFile(), 0);
  EXPECT_EQ(DocumentsDataDirectory(), testing::Path40("D:\\Suite\\VANTOR"));
  std::string expected("D:\\Suite\\VANTOR\\obi.dat\0", 24);
  expected.resize(60, ' ');
  EXPECT_EQ(DocumentsDataPath("obi.dat"), expected);
  EXPECT_STREQ(DocumentsDataPath("obi.dat").c_str(), "D:\\Suite\\VANTOR\\obi.dat");

  SetDocumentsDataDirectory("");
  EXPECT_STREQ(DocumentsDataPath("dev.dat       ").c_str(), "dev.dat");
  EXPECT_EQ(ReadFileBytes(File()), file.str()) << "only the image changes";

  SetDocumentsDirectoryDefaults();
  const Record image = DocumentsDirectoryRecord();
  EXPECT_EQ(std::string(image.begin(), image.end()), testing::NewDocumentsDirectoryFile());
}

TEST_F(DocumentsFolder, TheLauncherWritesItsOwnRecord) {
  const std::string root =
      temp_.path().substr(0, temp_.path().size() - 1);  // C:\vt..., no trailing '\'
  ASSERT_TRUE(WriteLauncherDocumentsDirectoryFile(root, root + "\\ERP\\", root + "\\ERP"));
  EXPECT_EQ(ReadFileBytes(File()), testing::LauncherDocumentsFile(root.substr(2)));

  // An existing longer file gets a new record 1 and keeps the rest.
  WriteFileBytes(File(), std::string(1024, 'o'));
  ASSERT_TRUE(WriteLauncherDocumentsDirectoryFile(root, root + "\\ERP\\", "Z:\\elsewhere"));
  const std::string after = ReadFileBytes(File());
  ASSERT_EQ(after.size(), 1024u);
  EXPECT_EQ(after.substr(180, 40), testing::Path40(root + "\\Vantor"));
  EXPECT_EQ(after.substr(512), std::string(512, 'o'));
}

}  // namespace
}  // namespace velmora::erpdirs
