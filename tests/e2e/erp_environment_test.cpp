// The ERP environment of the real launcher in a fresh sample suite: the
// client code in the main window's caption, read from the documents module's
// files in either layout, and the five directory files that the first start
// brings up to date, compared byte for byte with images written out here
// from the file layouts.

#include <gtest/gtest.h>

#include <optional>

#include "expected_files.h"
#include "keyed_files/keyed_file_writer.h"
#include "launcher_fixture.h"
#include "support/temp_dir.h"

namespace velmora::e2e {
namespace {

namespace fs = std::filesystem;
using namespace velmora::testing;
using velmora::erpdirs::testing::Bytes;
using velmora::erpdirs::testing::FirstDifference;
using velmora::erpdirs::testing::Path40;

// DIRVAN.DAT as the sample suite holds it, field by field: blanks; the
// documents data directory and the second documents directory at 180 and
// 220; the accounting company folder at 260; 60 and 60 at 300 and 302; "NN"
// at 304; 0 in the 16-bit field at 310; the further directory at 312; the
// mode letter "R" at 354 and "N" at 358. The 32-bit fields at 306 and 359
// and the 16-bit one at 352 stay blank, as in a file the documents module
// created.
std::string SampleDocumentsDirectoryFile(const std::string& root, const std::string& dataDirectory) {
  Bytes f(512, ' ');
  f.Text(180, Path40(dataDirectory)).Text(220, Path40(root + "\\Vantor"));
  f.Text(260, Path40(root + "\\Kelbar\\FIRMA"));
  f.Raw(300, {0x3C, 0x00, 0x3C, 0x00, 'N', 'N'});
  f.Raw(310, {0x00, 0x00});
  f.Text(312, Path40(root + "\\ERP"));
  f.Text(354, "R").Text(358, "N");
  return f;
}

class ErpEnvironment : public LauncherTest {
 protected:
  fs::path DirvanInErp() const { return Erp() / "DIRVAN.DAT"; }

  // The caption of a start in the suite as it now stands; the launcher is
  // closed again. The texts of the boxes shown on the way go to `boxes`.
  std::string CaptionOfAStart(std::vector<std::string>* boxes = nullptr) {
    DrivenProgram launcher = StartLauncher();
    HWND main = StartAndFindMain(launcher, boxes);
    if (main == nullptr) return {};
    const std::string title = TitleOf(main);
    EXPECT_EQ(Close(launcher, main), 0u);
    return title;
  }

  // The four directory files as a start from `start` writes them new.
  void ExpectFreshDirectoryFiles(const std::string& start, const std::string& root) {
    for (const auto& file : velmora::erpdirs::testing::FreshDirectoryFiles(start, root))
      ExpectFileBytes(SuiteDir() / file.path, file.bytes);
  }
  void ExpectFileBytes(const fs::path& file, const std::string& expected) {
    SCOPED_TRACE(file.string());
    const std::string actual = ReadFileBytes(file);
    EXPECT_EQ(actual.size(), expected.size());
    EXPECT_EQ(FirstDifference(actual, expected), -1) << "first differing byte";
  }
};

TEST_F(ErpEnvironment, CaptionShowsTheClientCodeOfTheSampleDocumentsModule) {
  EXPECT_EQ(CaptionOfAStart(), MainTitle(4711));
}

TEST_F(ErpEnvironment, CaptionShowsZeroWithoutDirvanAndTheStartCreatesNone) {
  fs::remove(DirvanInErp());
  EXPECT_EQ(CaptionOfAStart(), MainTitle(0));
  EXPECT_FALSE(fs::exists(DirvanInErp()));
}

TEST_F(ErpEnvironment, CaptionReadsASelfDescribingDevFile) {
  // Vantor\Layout2 holds the client record in the self-describing layout,
  // beside an obi.dat without a bucket count: only a reader that takes the
  // count from dev.dat's own header finds the record there.
  WriteFileBytes(DirvanInErp(), SampleDocumentsDirectoryFile(Root(), Root() + "\\Vantor\\Layout2"));
  EXPECT_EQ(CaptionOfAStart(), MainTitle(4711));
}

TEST_F(ErpEnvironment, CaptionShowsZeroWhenTheDocumentsFilesHoldNoClient) {
  struct Case {
    const char* what;
    std::string dev;  // empty: no dev.dat at all
  };
  IndexFileWriter withoutClient(64, 61);
  ASSERT_TRUE(withoutClient.Add({"EUR   ", "Euro"}));
  const Case cases[] = {
      {"dev.dat without the client record", withoutClient.image()},
      {"an empty dev.dat of the index layout", std::string(64 * 512, '\0')},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    WriteFileBytes(Vantor() / "dev.dat", c.dev);
    EXPECT_EQ(CaptionOfAStart(), MainTitle(0));
  }
}

TEST_F(ErpEnvironment, UnusableDocumentsFilesAreReportedAndGiveZero) {
  const std::string sample = SampleDocumentsDirectoryFile(Root(), Root() + "\\Vantor");
  struct Case {
    const char* what;
    std::string dirvan;           // DIRVAN.DAT in ERP
    bool withDev;                 // Vantor\dev.dat present
    std::vector<std::string> boxes;
  };
  const Case cases[] = {
      {"empty DIRVAN.DAT", "", true, {"** Eroare Citire fisier DIRVAN.DAT **"}},
      {"DIRVAN.DAT shorter than its record", sample.substr(0, 300), true, {"** Eroare Citire fisier DIRVAN.DAT **"}},
      {"no dev.dat in the data directory", sample, false, {"Eroare deschidere " + Root() + "\\Vantor\\dev.dat"}},
      {"a data directory that does not exist", SampleDocumentsDirectoryFile(Root(), Root() + "\\Nowhere"), true, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    WriteFileBytes(DirvanInErp(), c.dirvan);
    std::optional<FileAside> devAside;
    if (!c.withDev) devAside.emplace(Vantor() / "dev.dat");
    std::vector<std::string> boxes;
    EXPECT_EQ(CaptionOfAStart(&boxes), MainTitle(0));
    EXPECT_EQ(boxes, c.boxes);
    // Only read: the launcher leaves the documents module's file as it found it.
    EXPECT_EQ(ReadFileBytes(DirvanInErp()), c.dirvan);
    fs::remove(SuiteDir() / "Kelbar" / "FIRMA" / "TERTIDC.DAT");  // no "Exista TERTIDC.DAT" box next time
  }
}

TEST_F(ErpEnvironment, AnUnknownModeLetterIsReadAsRButStaysInTheFile) {
  std::string dirvan = SampleDocumentsDirectoryFile(Root(), Root() + "\\Vantor");
  dirvan[354] = 'X';
  WriteFileBytes(DirvanInErp(), dirvan);
  EXPECT_EQ(CaptionOfAStart(), MainTitle(4711));
  EXPECT_EQ(ReadFileBytes(DirvanInErp()), dirvan);
}

TEST_F(ErpEnvironment, FirstStartWritesTheFiveDirectoryFilesByteForByte) {
  ASSERT_FALSE(fs::exists(SuiteDir() / "Kelbar" / "FIRMA"));
  DrivenProgram launcher = StartLauncher();
  std::vector<std::string> boxes;
  HWND main = StartAndFindMain(launcher, &boxes);
  ASSERT_NE(main, nullptr);
  EXPECT_TRUE(boxes.empty()) << "first box: " << boxes.front();

  // Started in <root>\ERP: the suite root is everything before "ERP".
  const std::string start = Root() + "\\ERP";
  const std::string root = Root() + "\\";

  ExpectFreshDirectoryFiles(start, root);

  // Read for the caption, never written.
  ExpectFileBytes(DirvanInErp(), SampleDocumentsDirectoryFile(Root(), Root() + "\\Vantor"));

  // The empty keyed file of the accounting company folder: 2000 blocks, header 1999.
  const std::string tertidc = ReadFileBytes(SuiteDir() / "Kelbar" / "FIRMA" / "TERTIDC.DAT");
  ASSERT_EQ(tertidc.size(), 1'024'000u);
  EXPECT_EQ(tertidc.substr(0, 512), velmora::erpdirs::testing::KeyedHeader(1999));
  EXPECT_EQ(tertidc.find_first_not_of('\0', 512), std::string::npos);

  EXPECT_EQ(Close(launcher, main), 0u);
}

TEST_F(ErpEnvironment, SecondStartKeepsTheFilesAndSaysTertidcExists) {
  const fs::path files[] = {
      Erp() / "DIRERP.DAT",
      SuiteDir() / "Kelbar" / "FIRMA" / "DIRKEL.DAT",
      SuiteDir() / "Morvin" / "FIRMA" / "DIRMOR.DAT",
      SuiteDir() / "Tesslo" / "FIRMA" / "DIRTES.DAT",
      SuiteDir() / "Kelbar" / "FIRMA" / "TERTIDC.DAT",
      DirvanInErp(),
  };
  {
    DrivenProgram first = StartLauncher();
    HWND main = StartAndFindMain(first);
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(Close(first, main), 0u);
  }
  std::vector<std::string> before;
  for (const fs::path& file : files) before.push_back(ReadFileBytes(file));

  DrivenProgram second = StartLauncher();
  const auto box = WaitForMessageBox(second, "Exista TERTIDC.DAT ", kWindowTimeout);
  ASSERT_TRUE(box.has_value()) << "no box captioned \"Exista TERTIDC.DAT \"";
  EXPECT_EQ(box->text, "** Exista TERTIDC.DAT **");
  EXPECT_TRUE(PressButton(box->window, IDOK));
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box->window); }, 5s));
  std::vector<std::string> boxes;
  HWND main = StartAndFindMain(second, &boxes);
  ASSERT_NE(main, nullptr);
  EXPECT_TRUE(boxes.empty()) << "first further box: " << boxes.front();
  EXPECT_EQ(Close(second, main), 0u);
  for (std::size_t i = 0; i < std::size(files); ++i) {
    SCOPED_TRACE(files[i].string());
    EXPECT_EQ(FirstDifference(ReadFileBytes(files[i]), before[i]), -1);
  }
}

TEST_F(ErpEnvironment, StartedFromAnotherDriveTheDirectoryFilesNameThatDrive) {
  MappedDrive drive(SuiteDir());
  ASSERT_TRUE(drive.ok()) << "no spare drive letter could be mapped";
  const std::string root = drive.root();  // "Q:\"
  DrivenProgram launcher = StartLauncher("", root + "ERP");
  HWND main = StartAndFindMain(launcher);
  ASSERT_NE(main, nullptr);

  const std::string start = root + "ERP";
  ExpectFreshDirectoryFiles(start, root);
  // The documents module's file is read there too: the caption shows the client.
  EXPECT_EQ(TitleOf(main), MainTitle(4711));
  EXPECT_EQ(Close(launcher, main), 0u);
}

}  // namespace
}  // namespace velmora::e2e
