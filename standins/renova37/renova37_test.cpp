// The self-update program run for real on a small suite whose "launcher" is
// the recorder, so the restart shows up in launches.log.

#include <gtest/gtest.h>

#include "recorder/launch_record.h"
#include "sample_suite/sample_suite.h"
#include "support/driver.h"
#include "support/temp_dir.h"
#include "update_manifest/sha256_file.h"
#include "update_manifest/update_manifest.h"

namespace velmora::standins {
namespace {

namespace fs = std::filesystem;
using namespace velmora::testing;

const fs::path kStandins = fs::path(VELMORA_STANDIN_DIR);

class Renova37 : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(suite_.path() / "ERP");
    fs::copy_file(kStandins / "recorder.exe", launcher_);
    PutFileBytes(suite_.path() / "ERP" / "anga.dat", "old anga");
    PutFileBytes(suite_.path() / "Vantor" / "q.exe", "old q");
    StageUpdate();
    fs::copy_file(kStandins / "renova37.exe", temp_.path() / "renova37.exe");
    SetEnvironmentVariableA("VELMORA_RENOVA_WAIT_MS", nullptr);
  }
  void TearDown() override { SetEnvironmentVariableA("VELMORA_RENOVA_WAIT_MS", nullptr); }

  // The command line exactly as the launcher builds it: no quotes, two backslashes.
  DrivenProgram Run() {
    return DrivenProgram::WithCommandLine(
        temp_.path().string() + "\\\\renova37.exe " + launcher_.string(), temp_.path().string());
  }
  std::vector<LaunchRecord> LauncherStarts() const {
    return LaunchesOf(ReadLaunches(suite_.path()), "velmora.exe");
  }
  std::string Log() const { return ReadFileBytes(suite_.path() / "ERP" / "renova37.log"); }

  // Stages new anga.dat and q.exe under a manifest with their true sizes and digests.
  void StageUpdate() {
    Manifest manifest;
    for (auto [path, bytes] :
         {std::pair{"ERP\\anga.dat", "new anga"}, {"Vantor\\q.exe", "new q"}}) {
      PutFileBytes(PathBelow(Staging(), path), bytes);
      manifest.files.push_back(
          {path, std::string_view(bytes).size(), Sha256OfBytes(bytes).value_or("")});
    }
    PutFileBytes(Staging() / kStagedManifestName, FormatManifest(manifest));
  }
  fs::path Staging() const { return suite_.path() / "ERP" / "UPDATE"; }

  // The box the self-update shows, pressed away; its text.
  std::string AnswerMessageBox(const DrivenProgram& update) {
    const auto box = WaitForMessageBox(update, "Corvane", 20s);
    if (!box) return "(no message box)";
    PressButton(box->window, IDOK);
    return box->text;
  }
  TempDir suite_, temp_;
  fs::path launcher_ = suite_.path() / "ERP" / "velmora.exe";
};

TEST_F(Renova37, WaitsForTheLauncherToEndThenAppliesAndStartsItAgain) {
  HANDLE mutex = CreateMutexA(nullptr, TRUE, "VelmoraMutex");
  ASSERT_NE(mutex, nullptr);
  DrivenProgram update = Run();
  ASSERT_TRUE(update.started()) << update.startError();
  EXPECT_FALSE(update.WaitForExit(800ms).has_value());
  EXPECT_EQ(ReadFileBytes(suite_.path() / "Vantor" / "q.exe"), "old q");
  ReleaseMutex(mutex);
  CloseHandle(mutex);
  EXPECT_EQ(update.WaitForExit(20s), 0u);
  EXPECT_EQ(ReadFileBytes(suite_.path() / "ERP" / "anga.dat"), "new anga");
  EXPECT_EQ(ReadFileBytes(suite_.path() / "Vantor" / "q.exe"), "new q");
  EXPECT_FALSE(fs::exists(suite_.path() / "ERP" / "UPDATE"));
  EXPECT_FALSE(fs::exists(suite_.path() / "ERP" / "UPDATE.BAK"));
  ASSERT_TRUE(WaitUntil([&] { return LauncherStarts().size() == 1; }, 10s));
  EXPECT_EQ(LauncherStarts()[0].currentDirectory, (suite_.path() / "ERP").string());
  EXPECT_NE(Log().find("update applied"), std::string::npos) << Log();
}

TEST_F(Renova37, GivesUpWhenTheLauncherDoesNotEnd) {
  HANDLE mutex = CreateMutexA(nullptr, TRUE, "VelmoraMutex");
  ASSERT_NE(mutex, nullptr);
  SetEnvironmentVariableA("VELMORA_RENOVA_WAIT_MS", "500");
  DrivenProgram update = Run();
  ASSERT_TRUE(update.started());
  EXPECT_NE(AnswerMessageBox(update).find("nu s-a inchis"), std::string::npos);
  EXPECT_EQ(update.WaitForExit(20s), 4u);
  CloseHandle(mutex);
  EXPECT_EQ(ReadFileBytes(suite_.path() / "ERP" / "anga.dat"), "old anga");
  EXPECT_EQ(ReadFileBytes(Staging() / "Vantor" / "q.exe"), "new q");
  EXPECT_TRUE(LauncherStarts().empty()) << "a second launcher would only meet the first";
}

TEST_F(Renova37, ALockedTargetRestoresEverythingAndStartsTheOldLauncher) {
  // Sorted first, ERP\anga.dat is replaced before the locked Vantor\q.exe fails.
  HANDLE locked = CreateFileA((suite_.path() / "Vantor" / "q.exe").string().c_str(), GENERIC_READ,
                              0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(locked, INVALID_HANDLE_VALUE);
  DrivenProgram update = Run();
  ASSERT_TRUE(update.started());
  EXPECT_NE(AnswerMessageBox(update).find("restaurate"), std::string::npos);
  const auto code = update.WaitForExit(30s);
  CloseHandle(locked);
  EXPECT_EQ(code, 1u);
  EXPECT_EQ(ReadFileBytes(suite_.path() / "ERP" / "anga.dat"), "old anga");
  EXPECT_EQ(ReadFileBytes(suite_.path() / "Vantor" / "q.exe"), "old q");
  EXPECT_EQ(ReadFileBytes(suite_.path() / "ERP" / "UPDATE" / "ERP" / "anga.dat"), "new anga");
  EXPECT_FALSE(fs::exists(suite_.path() / "ERP" / "UPDATE.BAK"));
  EXPECT_TRUE(WaitUntil([&] { return LauncherStarts().size() == 1; }, 10s));
  EXPECT_NE(Log().find("rolled back"), std::string::npos) << Log();
}

TEST_F(Renova37, StagedFilesThatDoNotMatchTheirManifestChangeNothing) {
  struct Case {
    const char* what;
    std::function<void(const fs::path& staging)> spoil;
  };
  const Case cases[] = {
      {"same size, other bytes",
       [](const fs::path& staging) { PutFileBytes(staging / "Vantor" / "q.exe", "NEW q"); }},
      {"truncated",
       [](const fs::path& staging) { PutFileBytes(staging / "Vantor" / "q.exe", "new"); }},
      {"missing", [](const fs::path& staging) { fs::remove(staging / "Vantor" / "q.exe"); }},
      {"not listed",
       [](const fs::path& staging) { PutFileBytes(staging / "Kelbar" / "kelbarw.exe", "stray"); }},
      {"no manifest", [](const fs::path& staging) { fs::remove(staging / kStagedManifestName); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    fs::remove_all(Staging());
    fs::remove(suite_.path() / kLaunchesLogName);
    StageUpdate();
    c.spoil(Staging());
    DrivenProgram update = Run();
    ASSERT_TRUE(update.started());
    EXPECT_NE(AnswerMessageBox(update).find("incomplet sau modificat"), std::string::npos);
    EXPECT_EQ(update.WaitForExit(20s), 6u);
    EXPECT_EQ(ReadFileBytes(suite_.path() / "ERP" / "anga.dat"), "old anga");
    EXPECT_EQ(ReadFileBytes(suite_.path() / "Vantor" / "q.exe"), "old q");
    EXPECT_FALSE(fs::exists(suite_.path() / "Kelbar" / "kelbarw.exe"));
    EXPECT_FALSE(fs::exists(Staging())) << "a staged update that does not match is fetched afresh";
    EXPECT_TRUE(WaitUntil([&] { return LauncherStarts().size() == 1; }, 10s));
  }
  EXPECT_NE(Log().find("update refused"), std::string::npos) << Log();
}

TEST_F(Renova37, WithoutALauncherPathItDoesNothing) {
  DrivenProgram update = DrivenProgram::WithCommandLine((temp_.path() / "renova37.exe").string());
  ASSERT_TRUE(update.started());
  EXPECT_EQ(update.WaitForExit(10s), 3u);
  EXPECT_EQ(ReadFileBytes(suite_.path() / "Vantor" / "q.exe"), "old q");
}

}  // namespace
}  // namespace velmora::standins
