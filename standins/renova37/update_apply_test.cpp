#include "renova37/update_apply.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace velmora::standins {
namespace {

namespace fs = std::filesystem;
using velmora::testing::PutFileBytes;
using velmora::testing::ReadFileBytes;
using velmora::testing::TempDir;

// A suite with three installed files and four staged ones: two replace
// installed files, two are new (one in a folder that does not exist yet).
struct StagedSuite {
  TempDir dir;
  fs::path root = dir.path();
  fs::path staging = root / "ERP" / "UPDATE";
  StagedSuite() {
    PutFileBytes(root / "ERP" / "velmora.exe", "old launcher");
    PutFileBytes(root / "Vantor" / "q.exe", "old documents");
    PutFileBytes(root / "Kelbar" / "kelbarw.exe", "old accounting");
    PutFileBytes(staging / "ERP" / "velmora.exe", "new launcher");
    PutFileBytes(staging / "Kelbar" / "FileGen" / "extra.dat", "new data");
    PutFileBytes(staging / "Morvin" / "NEW" / "deep" / "x.dat", "new deep");
    PutFileBytes(staging / "Vantor" / "q.exe", "new documents");
  }
  void ExpectUnchanged(std::size_t staged = 4) const {
    EXPECT_EQ(ReadFileBytes(root / "ERP" / "velmora.exe"), "old launcher");
    EXPECT_EQ(ReadFileBytes(root / "Vantor" / "q.exe"), "old documents");
    EXPECT_EQ(ReadFileBytes(root / "Kelbar" / "kelbarw.exe"), "old accounting");
    EXPECT_FALSE(fs::exists(root / "Kelbar" / "FileGen"));
    EXPECT_FALSE(fs::exists(root / "Morvin"));
    // The staged files wait for another try.
    EXPECT_EQ(ReadFileBytes(staging / "Vantor" / "q.exe"), "new documents");
    EXPECT_EQ(StagedFiles(root).size(), staged);
  }
};

// Sorted order of the staged files, as the applier walks them.
const std::vector<fs::path> kStagedOrder = {
    fs::path("ERP") / "velmora.exe", fs::path("Kelbar") / "FileGen" / "extra.dat",
    fs::path("Morvin") / "NEW" / "deep" / "x.dat", fs::path("Vantor") / "q.exe"};

// Copies for real, except onto the targets listed (for their first `failures` tries).
struct FailingCopy {
  std::vector<fs::path> refusedTargets;
  int failures = 1000;
  std::shared_ptr<int> calls = std::make_shared<int>(0);
  bool operator()(const fs::path& from, const fs::path& to, std::error_code& error) const {
    for (const fs::path& refused : refusedTargets) {
      if (fs::weakly_canonical(to) == fs::weakly_canonical(refused) && (*calls)++ < failures) {
        error = std::make_error_code(std::errc::permission_denied);
        return false;
      }
    }
    return CopyReplacing(from, to, error);
  }
};

TEST(UpdateApply, NothingStagedChangesNothing) {
  TempDir dir;
  PutFileBytes(dir.path() / "ERP" / "velmora.exe", "old");
  EXPECT_EQ(ApplyStagedUpdate(dir.path()).outcome, ApplyOutcome::NothingStaged);
  fs::create_directories(dir.path() / "ERP" / "UPDATE" / "empty");
  const ApplyResult result = ApplyStagedUpdate(dir.path());
  EXPECT_EQ(result.outcome, ApplyOutcome::NothingStaged);
  EXPECT_TRUE(result.applied.empty());
  EXPECT_EQ(ReadFileBytes(dir.path() / "ERP" / "velmora.exe"), "old");
}

TEST(UpdateApply, PutsEveryStagedFileInPlaceAndCleansUp) {
  StagedSuite suite;
  const ApplyResult result = ApplyStagedUpdate(suite.root);
  EXPECT_EQ(result.outcome, ApplyOutcome::Applied);
  EXPECT_EQ(result.applied, kStagedOrder);
  EXPECT_FALSE(result.failedAt.has_value());
  EXPECT_EQ(ReadFileBytes(suite.root / "ERP" / "velmora.exe"), "new launcher");
  EXPECT_EQ(ReadFileBytes(suite.root / "Vantor" / "q.exe"), "new documents");
  EXPECT_EQ(ReadFileBytes(suite.root / "Kelbar" / "FileGen" / "extra.dat"), "new data");
  EXPECT_EQ(ReadFileBytes(suite.root / "Morvin" / "NEW" / "deep" / "x.dat"), "new deep");
  EXPECT_EQ(ReadFileBytes(suite.root / "Kelbar" / "kelbarw.exe"), "old accounting");
  EXPECT_FALSE(fs::exists(suite.staging));
  EXPECT_FALSE(fs::exists(suite.root / "ERP" / "UPDATE.BAK"));
}

TEST(UpdateApply, AFailedCopyPutsEveryTouchedFileBack) {
  // The failure hits each position in turn: first file, a new file in a new
  // folder, the deepest new file, the last file.
  for (const fs::path& failing : kStagedOrder) {
    SCOPED_TRACE(failing.string());
    StagedSuite suite;
    ApplyOptions options;
    options.copy = FailingCopy{{suite.root / failing}, 1};  // the copy back goes through
    const ApplyResult result = ApplyStagedUpdate(suite.root, options);
    EXPECT_EQ(result.outcome, ApplyOutcome::RolledBack);
    ASSERT_TRUE(result.failedAt.has_value());
    EXPECT_EQ(*result.failedAt, failing);
    EXPECT_FALSE(result.error.empty());
    EXPECT_TRUE(result.applied.empty());
    EXPECT_TRUE(result.notRestored.empty());
    suite.ExpectUnchanged();
    EXPECT_FALSE(fs::exists(suite.root / "ERP" / "UPDATE.BAK"));
  }
}

TEST(UpdateApply, ATargetThatIsAFolderFailsAndRollsBack) {
  StagedSuite suite;
  fs::create_directories(suite.root / "Vantor" / "q.exe.d");
  PutFileBytes(suite.staging / "Vantor" / "q.exe.d", "cannot replace a folder");
  const ApplyResult result = ApplyStagedUpdate(suite.root);
  EXPECT_EQ(result.outcome, ApplyOutcome::RolledBack);
  EXPECT_EQ(result.failedAt, std::optional(fs::path("Vantor") / "q.exe.d"));
  suite.ExpectUnchanged(5);
  EXPECT_TRUE(fs::is_directory(suite.root / "Vantor" / "q.exe.d"));
}

TEST(UpdateApply, AFileThatCannotBePutBackKeepsTheBackup) {
  StagedSuite suite;
  ApplyOptions options;
  // The last file's copy fails once; the launcher goes in but cannot go back.
  options.copy = [inner = FailingCopy{{suite.root / "Vantor" / "q.exe"}, 1},
                  launcherTries = std::make_shared<int>(0),
                  launcher = suite.root / "ERP" / "velmora.exe"](
                     const fs::path& from, const fs::path& to, std::error_code& error) {
    if (to == launcher && (*launcherTries)++ > 0) {
      error = std::make_error_code(std::errc::device_or_resource_busy);
      return false;
    }
    return inner(from, to, error);
  };
  const ApplyResult result = ApplyStagedUpdate(suite.root, options);
  EXPECT_EQ(result.outcome, ApplyOutcome::RestoreFailed);
  ASSERT_EQ(result.notRestored.size(), 1u);
  EXPECT_EQ(result.notRestored[0], fs::path("ERP") / "velmora.exe");
  // The old launcher waits in the backup; everything else is back.
  EXPECT_EQ(ReadFileBytes(suite.root / "ERP" / "UPDATE.BAK" / "ERP" / "velmora.exe"),
            "old launcher");
  EXPECT_EQ(ReadFileBytes(suite.root / "Vantor" / "q.exe"), "old documents");
  EXPECT_FALSE(fs::exists(suite.root / "Morvin"));
  EXPECT_FALSE(fs::exists(suite.root / "Kelbar" / "FileGen"));
}

TEST(UpdateApply, RetriesATargetThatIsBusyForAMoment) {
  for (int attempts : {3, 2}) {
    SCOPED_TRACE(attempts);
    StagedSuite suite;
    int waits = 0;
    ApplyOptions options;
    options.copy = FailingCopy{{suite.root / "ERP" / "velmora.exe"}, 2};  // busy for two tries
    options.attemptsPerFile = attempts;
    options.betweenAttempts = [&] { ++waits; };
    const ApplyResult result = ApplyStagedUpdate(suite.root, options);
    if (attempts == 3) {
      EXPECT_EQ(result.outcome, ApplyOutcome::Applied);
      EXPECT_EQ(ReadFileBytes(suite.root / "ERP" / "velmora.exe"), "new launcher");
      EXPECT_EQ(waits, 2);
    } else {
      EXPECT_EQ(result.outcome, ApplyOutcome::RolledBack);
      suite.ExpectUnchanged();
    }
  }
}

TEST(UpdateApply, ReplacesAReadOnlyTarget) {
  StagedSuite suite;
  fs::permissions(suite.root / "Vantor" / "q.exe",
                  fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
  EXPECT_EQ(ApplyStagedUpdate(suite.root).outcome, ApplyOutcome::Applied);
  EXPECT_EQ(ReadFileBytes(suite.root / "Vantor" / "q.exe"), "new documents");
  EXPECT_FALSE(fs::exists(suite.root / "ERP" / "UPDATE.BAK"))
      << "its read-only copy goes with the backup";
}

TEST(UpdateApply, FindsTheLauncherPathAfterItsOwnPath) {
  struct Case {
    const char* commandLine;
    const char* launcher;
  };
  const Case cases[] = {
      {"C:\\Temp\\\\renova37.exe C:\\S\\ERP\\velmora.exe", "C:\\S\\ERP\\velmora.exe"},
      // Blanks in both paths, as the launcher writes them without quotes.
      {"C:\\Documents and Settings\\ana\\Temp\\\\renova37.exe C:\\Program "
       "Files\\S\\ERP\\velmora.exe",
       "C:\\Program Files\\S\\ERP\\velmora.exe"},
      {"\"C:\\T\\renova37.exe\" \"C:\\A B\\ERP\\velmora.exe\"", "C:\\A B\\ERP\\velmora.exe"},
      // TMP unset: the launcher puts a single blank in its place.
      {" \\\\renova37.exe C:\\S\\ERP\\velmora.exe", "C:\\S\\ERP\\velmora.exe"},
      {"C:\\T\\RENOVA37.EXE   C:\\S\\ERP\\velmora.exe  ", "C:\\S\\ERP\\velmora.exe"},
      {"C:\\renova37.exe.old\\renova37.exe C:\\x\\ERP\\velmora.exe", "C:\\x\\ERP\\velmora.exe"},
      {"C:\\T\\other.exe C:\\S\\ERP\\velmora.exe", "C:\\S\\ERP\\velmora.exe"},
      {"\"C:\\T T\\other.exe\" C:\\S\\ERP\\velmora.exe", "C:\\S\\ERP\\velmora.exe"},
      {"C:\\T\\renova37.exe", ""},
      {"C:\\T\\renova37.exe   ", ""},
      {"", ""},
  };
  for (const Case& c : cases)
    EXPECT_EQ(LauncherPathFromCommandLine(c.commandLine), c.launcher) << c.commandLine;
}

}  // namespace
}  // namespace velmora::standins
