// The recorder under the suite's program names: where its launch line goes,
// what it holds, and how tests steer it.

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "launch_record.h"
#include "sample_suite/sample_suite.h"
#include "support/driver.h"
#include "support/temp_dir.h"

namespace velmora::standins {
namespace {

namespace fs = std::filesystem;
using namespace velmora::testing;

const fs::path kRecorder = fs::path(VELMORA_STANDIN_DIR) / "recorder.exe";

// A suite root with the recorder copied to `folder`\`name`.
std::string PlaceRecorder(const TempDir& suite, const char* folder, const char* name) {
  fs::create_directories(suite.path() / folder);
  const fs::path target = suite.path() / folder / name;
  fs::copy_file(kRecorder, target, fs::copy_options::overwrite_existing);
  return target.string();
}

TEST(Recorder, NotesPathDirectoryAndCommandLineInTheSuiteRoot) {
  TempDir suite;
  const std::string trovel = PlaceRecorder(suite, "ERP", "trovel.exe");
  const std::string q = PlaceRecorder(suite, "Vantor", "q.exe");
  const std::string vantor = (suite.path() / "Vantor").string();
  {
    DrivenProgram run(trovel, "", (suite.path() / "ERP").string());
    ASSERT_TRUE(run.started()) << run.startError();
    EXPECT_EQ(run.WaitForExit(10s), 0u);
  }
  {
    DrivenProgram run = DrivenProgram::WithCommandLine(q + " -m -erp -cu", vantor);
    ASSERT_TRUE(run.started()) << run.startError();
    EXPECT_EQ(run.WaitForExit(10s), 0u);
  }
  const auto launches = ReadLaunches(suite.path());
  ASSERT_EQ(launches.size(), 2u);
  EXPECT_EQ(launches[0].program, trovel);
  EXPECT_EQ(launches[0].currentDirectory, (suite.path() / "ERP").string());
  EXPECT_EQ(launches[0].commandLine, "\"" + trovel + "\"");
  EXPECT_EQ(launches[1].program, q);
  EXPECT_EQ(launches[1].currentDirectory, vantor);
  EXPECT_EQ(launches[1].commandLine, q + " -m -erp -cu");
  EXPECT_FALSE(fs::exists(suite.path() / "ERP" / "launches.log"));
}

TEST(Recorder, ConcurrentStartsEachLeaveOneWholeLine) {
  TempDir suite;
  const char* names[][2] = {{"ERP", "trovel.exe"},     {"ERP", "quillon.exe"},
                            {"ERP", "wardle.exe"},     {"Vantor", "q.exe"},
                            {"Vantor", "tkv.exe"},     {"Kelbar", "kelbarw.exe"},
                            {"Morvin", "MORVINW.exe"}, {"Tesslo", "tesslow.exe"}};
  std::vector<DrivenProgram> runs;
  std::set<std::string> expected;
  for (auto& [folder, name] : names) {
    const std::string path = PlaceRecorder(suite, folder, name);
    expected.insert(path);
    // A long argument makes each line big enough to tear if writes interleaved.
    runs.push_back(DrivenProgram(path, std::string(3000, 'x'), suite.path().string()));
  }
  for (auto& run : runs) {
    ASSERT_TRUE(run.started());
    EXPECT_EQ(run.WaitForExit(20s), 0u);
  }
  const auto launches = ReadLaunches(suite.path());
  ASSERT_EQ(launches.size(), std::size(names));
  std::set<std::string> seen;
  for (const auto& launch : launches) {
    seen.insert(launch.program);
    EXPECT_EQ(launch.commandLine, "\"" + launch.program + "\" " + std::string(3000, 'x'));
  }
  EXPECT_EQ(seen, expected);
}

TEST(Recorder, HoldFileKeepsItRunningUntilDeleted) {
  TempDir suite;
  const std::string tkv = PlaceRecorder(suite, "Vantor", "tkv.exe");
  const fs::path hold = suite.path() / "Vantor" / "tkv.hold";
  WriteFileBytes(hold, "");
  DrivenProgram run(tkv, "/prot");
  ASSERT_TRUE(run.started());
  // The launch is noted at once, while the program goes on running.
  ASSERT_TRUE(WaitUntil([&] { return ReadLaunches(suite.path()).size() == 1; }, 10s));
  EXPECT_FALSE(run.WaitForExit(300ms).has_value());
  fs::remove(hold);
  EXPECT_EQ(run.WaitForExit(10s), 0u);
}

TEST(Recorder, ExitCodeFileSetsTheExitCode) {
  struct Case {
    const char* text;
    DWORD code;
  };
  for (const Case& c :
       {Case{"7", 7u}, Case{"0", 0u}, Case{"-218\r\n", static_cast<DWORD>(-218)}, Case{"", 0u}}) {
    TempDir suite;
    const std::string kelbarw = PlaceRecorder(suite, "Kelbar", "kelbarw.exe");
    WriteFileBytes(suite.path() / "Kelbar" / "kelbarw.exitcode", c.text);
    DrivenProgram run(kelbarw);
    ASSERT_TRUE(run.started());
    EXPECT_EQ(run.WaitForExit(10s), c.code) << c.text;
    EXPECT_EQ(ReadLaunches(suite.path()).size(), 1u);
  }
}

TEST(Recorder, ProgramAtADrivesRootWritesNothingAndStillEnds) {
  TempDir folder;
  fs::copy_file(kRecorder, folder.path() / "q.exe");
  MappedDrive drive(folder.path());
  ASSERT_TRUE(drive.ok());
  DrivenProgram run(drive.root() + "q.exe");
  ASSERT_TRUE(run.started()) << run.startError();
  EXPECT_EQ(run.WaitForExit(10s), 0u);
  EXPECT_FALSE(fs::exists(folder.path() / "launches.log"));
}

}  // namespace
}  // namespace velmora::standins
