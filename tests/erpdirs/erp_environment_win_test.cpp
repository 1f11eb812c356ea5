// The start-up refresh of the suite's directory files on real folders: a
// sample suite in a temporary folder, message boxes recorded through the seam.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "erpdirs/erp_environment.h"
#include "expected_files.h"
#include "support/short_folder.h"
#include "support/temp_dir.h"
#include "support/ui_recorders.h"

namespace velmora::erpdirs {
namespace {

using testing::Bytes;
using testing::FirstDifference;
using velmora::testing::BoxList;
using velmora::testing::BoxRecorder;
using velmora::testing::ReadFileBytes;
using velmora::testing::WriteFileBytes;

const HWND kOwner = reinterpret_cast<HWND>(static_cast<intptr_t>(0x4242));

std::string Padded80(std::string text) {
  text.resize(80, ' ');
  return text;
}

class SuiteFolder : public ::testing::Test {
 protected:
  void SetUp() override { MakeSuite(temp_.path()); }

  // root\ERP, KELBAR, MORVIN and TESSLO, with ERP current.
  void MakeSuite(const std::string& root) {
    root_ = root;
    for (const char* module : {"ERP", "KELBAR", "MORVIN", "TESSLO"})
      velmora::testing::MakeFolders(root_ + module);
    ASSERT_TRUE(SetCurrentDirectoryA((root_ + "ERP").c_str()));
  }
  std::string Start() const { return root_ + "ERP"; }

  void ExpectEveryFileFreshlyMade() {
    for (const auto& file : testing::FreshDirectoryFiles(Start(), root_))
      EXPECT_EQ(FirstDifference(ReadFileBytes(root_ + file.path), file.bytes), -1) << file.path;
  }

  // Declared first so that it is removed last, after the current directory
  // has left it.
  velmora::testing::ShortTempFolder temp_;
  velmora::testing::KeepCurrentDirectory keep_;
  BoxRecorder boxes_;
  std::string root_;
};

TEST_F(SuiteFolder, AFreshSuiteGetsEveryFileWithItsDefaultsAndPaths) {
  PrepareErpEnvironment(kOwner);
  EXPECT_TRUE(BoxRecorder::Boxes().empty());
  EXPECT_EQ(CurrentDirectory(), Start());
  ExpectEveryFileFreshlyMade();
  EXPECT_FALSE(velmora::testing::FileExists(root_ + "VANTOR"))
      << "nothing is made beside the company folders";
  EXPECT_EQ(ErpDocumentsModuleDirectory(), testing::Path40(root_ + "VANTOR"));
}

TEST_F(SuiteFolder, ASecondStartKeepsEveryFileWithTheModulesSettingsAndSaysTertidcExists) {
  PrepareErpEnvironment(kOwner);
  // The accounting module changes a setting; someone fills TERTIDC.DAT.
  const std::string accountingFile = root_ + "KELBAR\\FIRMA\\DIRKEL.DAT";
  Bytes accounting(ReadFileBytes(accountingFile));
  accounting.I16(512 + 34, 99);
  WriteFileBytes(accountingFile, accounting.str());
  WriteFileBytes(root_ + "KELBAR\\FIRMA\\TERTIDC.DAT", "filled by the module");
  BoxRecorder::Boxes().clear();

  const auto files = testing::FreshDirectoryFiles(Start(), root_);
  std::vector<std::string> before;
  for (const auto& file : files) before.push_back(ReadFileBytes(root_ + file.path));

  PrepareErpEnvironment(kOwner);
  EXPECT_EQ(BoxRecorder::Boxes(),
            (BoxList{{nullptr, "** Exista TERTIDC.DAT **", "Exista TERTIDC.DAT ", MB_OK}}));
  for (std::size_t i = 0; i < files.size(); ++i)
    EXPECT_EQ(ReadFileBytes(root_ + files[i].path), before[i]) << files[i].path;
  EXPECT_EQ(CurrentDirectory(), Start());
}

TEST_F(SuiteFolder, AModuleOrCompanyFolderThatCannotBeEnteredIsReportedAndLeftAsItIs) {
  struct Case {
    const char* module;
    bool blockedCompanyFolder;  // a plain file named FIRMA; else the module's folder is missing
    const char* message;
  };
  const Case cases[] = {
      {"KELBAR", false, "Pozitionare imposibila in Directorul KELBAR !"},
      {"MORVIN", false, "Pozitionare imposibila in Directorul MORVIN !"},
      {"TESSLO", false, "Pozitionare imposibila in Directorul TESSLO !"},
      {"KELBAR", true, "Pozitionare imposibila in Directorul FIRMA (1)!"},
      {"MORVIN", true, "Pozitionare imposibila in Directorul FIRMA (2)!"},
      {"TESSLO", true, "Pozitionare imposibila in Directorul FIRMA (3) !"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.message);
    const std::string blocked = root_ + c.module + (c.blockedCompanyFolder ? "\\FIRMA" : "");
    std::filesystem::remove_all(blocked);
    // A file named FIRMA can neither be entered nor replaced by a folder.
    if (c.blockedCompanyFolder) WriteFileBytes(blocked, "not a folder");
    std::filesystem::remove(root_ + "KELBAR\\FIRMA\\TERTIDC.DAT");
    BoxRecorder::Boxes().clear();
    PrepareErpEnvironment(kOwner);
    EXPECT_EQ(BoxRecorder::Boxes(), (BoxList{{kOwner, c.message, "Corvane", MB_ICONWARNING}}));
    if (c.blockedCompanyFolder) {
      EXPECT_EQ(ReadFileBytes(blocked), "not a folder");
    } else {
      EXPECT_FALSE(velmora::testing::FileExists(blocked))
          << "a missing module folder is not created";
    }
    EXPECT_EQ(CurrentDirectory(), Start());
    std::filesystem::remove_all(blocked);
    velmora::testing::MakeFolders(root_ + c.module + "\\FIRMA");
  }
}

TEST_F(SuiteFolder, WithoutErpInTheCurrentDirectoryEveryModuleStepReports) {
  velmora::testing::MakeFolders(root_ + "Work");
  ASSERT_TRUE(SetCurrentDirectoryA((root_ + "Work").c_str()));
  PrepareErpEnvironment(kOwner);
  ASSERT_EQ(BoxRecorder::Boxes().size(), 3u);
  EXPECT_EQ(BoxRecorder::Boxes()[0].text, "Pozitionare imposibila in Directorul KELBAR !");
  EXPECT_EQ(BoxRecorder::Boxes()[1].text, "Pozitionare imposibila in Directorul MORVIN !");
  EXPECT_EQ(BoxRecorder::Boxes()[2].text, "Pozitionare imposibila in Directorul TESSLO !");
  EXPECT_EQ(ReadFileBytes(root_ + "Work\\DIRERP.DAT"), testing::NewErpDirectoryFile())
      << "paths stay as loaded";
  EXPECT_EQ(CurrentDirectory(), root_ + "Work");
}

// What the module directory file of the current folder held on disk when its
// load-failure box came up (the other name is not there, so reads empty).
std::vector<std::string>& FilesAtTheBox() {
  static std::vector<std::string> files;
  return files;
}

TEST_F(SuiteFolder, AModuleFileThatCannotBeReadIsReportedBeforeItIsRefreshed) {
  // DIRKEL.DAT lacks its last two records; DIRTES.DAT ends inside its fourth.
  const std::string accountingFile = root_ + "KELBAR\\FIRMA\\DIRKEL.DAT";
  const std::string fixedAssetsFile = root_ + "TESSLO\\FIRMA\\DIRTES.DAT";
  velmora::testing::MakeFolders(root_ + "KELBAR\\FIRMA");
  velmora::testing::MakeFolders(root_ + "TESSLO\\FIRMA");
  WriteFileBytes(accountingFile, std::string(1024, 'k'));
  WriteFileBytes(fixedAssetsFile, std::string(1800, 't'));
  FilesAtTheBox().clear();
  static MessageBoxHandler recorder;
  recorder =
      SetMessageBoxHandler([](HWND owner, const char* text, const char* caption, UINT style) {
        if (std::string_view(text).starts_with("** Eroare"))
          FilesAtTheBox().push_back(ReadFileBytes("DIRKEL.DAT") + ReadFileBytes("DIRTES.DAT"));
        return recorder(owner, text, caption, style);
      });
  PrepareErpEnvironment(kOwner);
  SetMessageBoxHandler(recorder);
  EXPECT_EQ(BoxRecorder::Boxes(),
            (BoxList{{kOwner, "** Eroare Citire fisier DIRKEL.DAT **", "Eroare", MB_ICONWARNING},
                     {kOwner, "** Eroare Citire fisier DIRTES.DAT **", "Eroare", MB_ICONWARNING}}));
  EXPECT_EQ(FilesAtTheBox(),
            (std::vector<std::string>{std::string(1024, 'k'), std::string(1800, 't')}))
      << "each box comes before its file is written";
  const std::string after = ReadFileBytes(accountingFile);
  ASSERT_EQ(after.size(), 2048u) << "records beyond the end are written";
  Bytes expected(std::string(1024, 'k'));
  testing::PutAccountingPaths(expected, Start(), root_);
  EXPECT_EQ(after.substr(0, 1024), expected.str());
  Bytes fixedAssets(std::string(1800, 't'));
  testing::PutFixedAssetsPaths(fixedAssets, Start(), root_);
  EXPECT_EQ(FirstDifference(ReadFileBytes(fixedAssetsFile), fixedAssets.str()), -1)
      << "the part of record 4 that is there stays as it was";
  EXPECT_EQ(FirstDifference(ReadFileBytes(root_ + "KELBAR\\FIRMA\\TERTIDC.DAT"),
                            testing::NewTertiaryFile()),
            -1);
}

TEST_F(SuiteFolder, TheErpDirectoryFileIsOpenedWithSharing) {
  {
    SCOPED_TRACE("another program holds it open for shared use");
    PrepareErpEnvironment(kOwner);
    const std::string erpFile = root_ + "ERP\\DIRERP.DAT";
    HANDLE shared =
        CreateFileA(erpFile.c_str(), GENERIC_READ | GENERIC_WRITE,
                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(shared, INVALID_HANDLE_VALUE);
    BoxRecorder::Boxes().clear();
    PrepareErpEnvironment(kOwner);
    CloseHandle(shared);
    ASSERT_EQ(BoxRecorder::Boxes().size(), 1u);
    EXPECT_EQ(BoxRecorder::Boxes()[0].text, "** Exista TERTIDC.DAT **");
  }
  {
    SCOPED_TRACE("another program holds it without sharing");
    const std::string erpFile = root_ + "ERP\\DIRERP.DAT";
    const std::string before = ReadFileBytes(erpFile);
    HANDLE exclusive =
        CreateFileA(erpFile.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(exclusive, INVALID_HANDLE_VALUE);
    BoxRecorder::Boxes().clear();
    PrepareErpEnvironment(kOwner);
    CloseHandle(exclusive);
    ASSERT_GE(BoxRecorder::Boxes().size(), 1u);
    EXPECT_EQ(BoxRecorder::Boxes()[0].text, "** Eroare Deschidere fisier DIRERP.DAT **");
    EXPECT_EQ(BoxRecorder::Boxes()[0].caption, "Eroare");
    EXPECT_EQ(ReadFileBytes(erpFile), before);
  }
}

TEST_F(SuiteFolder, ACurrentDirectoryOfOver200CharactersWorks) {
  std::string root = root_;
  for (int i = 0; i < 5; ++i) root += std::string(39, static_cast<char>('a' + i)) + "\\";
  ASSERT_GT(root.size() + 3, 200u);
  MakeSuite(root);
  ASSERT_EQ(CurrentDirectory(), Start());
  PrepareErpEnvironment(kOwner);
  EXPECT_TRUE(BoxRecorder::Boxes().empty());
  EXPECT_EQ(CurrentDirectory(), Start());
  ExpectEveryFileFreshlyMade();
  EXPECT_EQ(ReadFileBytes(root + "KELBAR\\FIRMA\\DIRKEL.DAT").substr(702, 40),
            Start().substr(0, 40));
}

TEST_F(SuiteFolder, TheLoadersWorkInTheCurrentDirectory) {
  DirectoryFileResult opened;
  EXPECT_EQ(OpenErpDirectoryFile(opened), nullptr);
  EXPECT_EQ(opened.status, 1);
  EXPECT_EQ(opened.message, Padded80("** Eroare Deschidere fisier DIRERP.DAT **"));

  Bytes existing(testing::NewErpDirectoryFile());
  existing.Field(1024, 40, "X:\\Elsewhere\\VANTOR");
  WriteFileBytes(root_ + "ERP\\DIRERP.DAT", existing.str());
  const DirectoryFileResult loaded = LoadErpDirectoryFile();
  EXPECT_EQ(loaded.status, 0);
  EXPECT_EQ(ErpDocumentsModuleDirectory(), testing::Path40("X:\\Elsewhere\\VANTOR"));
  const ErpDirectoryImage image = ErpDirectoryImageCopy();
  EXPECT_EQ(std::string(image.begin(), image.end()), existing.str());

  // Read and write through an opened file: a file of other content takes the image.
  WriteFileBytes(root_ + "ERP\\DIRERP.DAT", std::string(2048, 'w'));
  auto file = OpenErpDirectoryFile(opened);
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(opened.status, 0);
  EXPECT_EQ(WriteErpDirectoryRecords(*file), 0);
  file.reset();
  EXPECT_EQ(ReadFileBytes(root_ + "ERP\\DIRERP.DAT"), existing.str());

  ASSERT_TRUE(SetCurrentDirectoryA((root_ + "MORVIN").c_str()));
  WriteFileBytes(root_ + "MORVIN\\DIRMOR.DAT", testing::NewPayrollDirectoryFile().substr(0, 2048));
  EXPECT_EQ(LoadPayrollDirectoryFile().status, 0) << "an older four-record file loads";
  const DirectoryFileResult tooShort = [&] {
    WriteFileBytes(root_ + "MORVIN\\DIRTES.DAT", std::string(100, 't'));
    return LoadFixedAssetsDirectoryFile();
  }();
  EXPECT_EQ(tooShort.message, Padded80("** Eroare Citire fisier DIRTES.DAT **"));
  EXPECT_EQ(LoadAccountingDirectoryFile().status, 0);
  EXPECT_EQ(ReadFileBytes(root_ + "MORVIN\\DIRKEL.DAT"), testing::NewAccountingDirectoryFile());
}

TEST_F(SuiteFolder, ChangeToDirectoryTakesDrivesAndIgnoresTrailingBlanks) {
  EXPECT_TRUE(ChangeToDirectory(root_ + "KELBAR   "));
  EXPECT_EQ(CurrentDirectory(), root_ + "KELBAR");
  std::string lower = root_ + "MORVIN";
  lower[0] = 'c';
  EXPECT_TRUE(ChangeToDirectory(lower));
  EXPECT_EQ(CurrentDirectory(), root_ + "MORVIN");
  for (const std::string& bad : {std::string(), std::string("    "), std::string("1:\\x"),
                                 std::string("?:\\"), root_ + "NOPE"}) {
    SCOPED_TRACE(bad);
    EXPECT_FALSE(ChangeToDirectory(bad));
  }
  EXPECT_TRUE(ChangeToDirectory("C:"));
  EXPECT_EQ(CurrentDirectory().substr(0, 2), "C:");
}

TEST(ChangeToDirectory, MovesToAnotherDriveAndBack) {
  velmora::testing::ShortTempFolder temp;
  velmora::testing::KeepCurrentDirectory keep;
  // The test programs start in the build folder, on another drive than C: under wine.
  const std::string other = CurrentDirectory();
  if (other.size() < 2 || other[1] != ':' || other[0] == 'C' || other[0] == 'c')
    GTEST_SKIP() << other;
  ASSERT_TRUE(ChangeToDirectory(temp.path()));
  EXPECT_EQ(CurrentDirectory() + "\\", temp.path());
  ASSERT_TRUE(ChangeToDirectory(other));
  EXPECT_EQ(CurrentDirectory(), other);
}

TEST(CreateKeyedFileOnDisk, MakesTheEmptyFileOnceAndRefusesTheRest) {
  velmora::testing::ShortTempFolder temp;
  velmora::testing::KeepCurrentDirectory keep;
  ASSERT_TRUE(SetCurrentDirectoryA(temp.path().c_str()));
  EXPECT_EQ(CreateKeyedFile("TERTIDC.DAT", 2000), 0);
  const std::string made = ReadFileBytes(temp / "TERTIDC.DAT");
  EXPECT_EQ(FirstDifference(made, testing::NewTertiaryFile()), -1);
  EXPECT_EQ(CreateKeyedFile("TERTIDC.DAT", 2000), 1) << "an existing file is never overwritten";
  EXPECT_EQ(ReadFileBytes(temp / "TERTIDC.DAT"), made);
  EXPECT_EQ(CreateKeyedFile("SMALL.DAT", 2), 1);
  EXPECT_FALSE(velmora::testing::FileExists(temp / "SMALL.DAT"));
}

}  // namespace
}  // namespace velmora::erpdirs
