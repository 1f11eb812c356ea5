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

// DIRVAN.DAT as the sample suite holds it: a new file whose documents data
// directory, second documents directory, accounting company folder and
// further directory (at 180, 220, 260 and 312) name the suite's folders.
std::string SampleDocumentsDirectoryFile(const std::string& root,
                                         const std::string& dataDirectory) {
  Bytes f(velmora::erpdirs::testing::NewDocumentsDirectoryFile());
  f.Field(180, 40, dataDirectory)
      .Field(220, 40, root + "\\Vantor")
      .Field(260, 40, root + "\\Kelbar\\FIRMA");
  f.Field(312, 40, root + "\\ERP");
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

  // The files a start from `start` makes new.
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

// Each start reads the client code for the caption from DIRVAN.DAT in ERP and
// the documents data directory it names; it reports what it cannot use and
// writes neither file.
TEST_F(ErpEnvironment, CaptionShowsTheClientOfTheDocumentsFilesAndLeavesThemAlone) {
  const std::string sample = SampleDocumentsDirectoryFile(Root(), Root() + "\\Vantor");
  const std::string sampleDev = ReadFileBytes(Vantor() / "dev.dat");
  std::string unknownMode = sample;
  unknownMode[354] = 'X';
  IndexFileWriter withoutClient(64, 61);
  ASSERT_TRUE(withoutClient.Add({"EUR   ", "Euro"}));
  const std::string readError = "** Eroare Citire fisier DIRVAN.DAT **";
  struct Case {
    const char* what;
    std::optional<std::string> dirvan, dev;  // nullopt: no such file
    int32_t client;
    std::vector<std::string> boxes;
  };
  const Case cases[] = {
      {"the sample suite", sample, sampleDev, 4711, {}},
      {"no DIRVAN.DAT, and none is created", std::nullopt, sampleDev, 0, {}},
      // Layout2 holds the client record in the self-describing layout, beside
      // an obi.dat without a bucket count: only a reader that takes the count
      // from dev.dat's own header finds the record there.
      {"a self-describing dev.dat",
       SampleDocumentsDirectoryFile(Root(), Root() + "\\Vantor\\Layout2"),
       sampleDev,
       4711,
       {}},
      {"an unknown mode letter is read as R", unknownMode, sampleDev, 4711, {}},
      {"dev.dat without the client record", sample, withoutClient.image(), 0, {}},
      {"an empty dev.dat of the index layout", sample, std::string(64 * 512, '\0'), 0, {}},
      {"empty DIRVAN.DAT", "", sampleDev, 0, {readError}},
      {"DIRVAN.DAT shorter than its record", sample.substr(0, 300), sampleDev, 0, {readError}},
      {"no dev.dat in the data directory",
       sample,
       std::nullopt,
       0,
       {"Eroare deschidere " + Root() + "\\Vantor\\dev.dat"}},
      {"a data directory that does not exist",
       SampleDocumentsDirectoryFile(Root(), Root() + "\\Nowhere"),
       sampleDev,
       0,
       {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const auto put = [](const fs::path& file, const std::optional<std::string>& bytes) {
      if (bytes) {
        WriteFileBytes(file, *bytes);
      } else {
        fs::remove(file);
      }
    };
    put(DirvanInErp(), c.dirvan);
    put(Vantor() / "dev.dat", c.dev);
    std::vector<std::string> boxes;
    EXPECT_EQ(CaptionOfAStart(&boxes), MainTitle(c.client));
    EXPECT_EQ(boxes, c.boxes);
    const auto dirvan =
        fs::exists(DirvanInErp()) ? std::optional(ReadFileBytes(DirvanInErp())) : std::nullopt;
    EXPECT_EQ(dirvan, c.dirvan);
    fs::remove(SuiteDir() / "Kelbar" / "FIRMA" /
               "TERTIDC.DAT");  // no "Exista TERTIDC.DAT" box next time
  }
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

  EXPECT_EQ(Close(launcher, main), 0u);
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
