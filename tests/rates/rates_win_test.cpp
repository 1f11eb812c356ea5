// The rate-file update on real files under wine: every step of the merge
// failing or cut off by a crash, a file held by another program, the rename
// routine, and the whole update from the news texts with its warning box.

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>

#include "cursval_image.h"
#include "erpdirs/documents_directory.h"
#include "erpdirs/documents_directory_image.h"
#include "erpdirs/image_fields.h"
#include "rates/cursval_update.h"
#include "support/short_folder.h"
#include "support/temp_dir.h"
#include "support/ui_recorders.h"

namespace velmora::rates {
namespace {

using velmora::testing::FileExists;
using velmora::testing::ReadFileBytes;
using velmora::testing::ShortTempFolder;
using velmora::testing::WriteFileBytes;

// The real files, with the n-th step (1-based) failing; in crash mode that
// step and every later one fail, as if the process had ended there.
class FaultyFiles final : public RateFiles {
 public:
  FaultyFiles(int failingStep, bool crash) : failingStep_(failingStep), crash_(crash) {}
  int steps() const { return steps_; }

  AutoHandle OpenShared(const std::string& path) override {
    return Fails() ? AutoHandle() : real_.OpenShared(path);
  }
  AutoHandle Create(const std::string& path) override {
    return Fails() ? AutoHandle() : real_.Create(path);
  }
  bool ReadAll(HANDLE file, std::string& bytes) override {
    return !Fails() && real_.ReadAll(file, bytes);
  }
  bool WriteAll(HANDLE file, std::string_view bytes) override {
    return !Fails() && real_.WriteAll(file, bytes);
  }
  bool Flush(HANDLE file) override { return !Fails() && real_.Flush(file); }
  bool Rename(const std::string& from, const std::string& to) override {
    return !Fails() && real_.Rename(from, to);
  }
  bool Remove(const std::string& path) override { return !Fails() && real_.Remove(path); }

 private:
  bool Fails() {
    ++steps_;
    return crash_ ? steps_ >= failingStep_ : steps_ == failingStep_;
  }
  RateFiles& real_ = WindowsRateFiles();
  int failingStep_;
  bool crash_;
  int steps_ = 0;
};

const NewsRates kNews{20240305, 49512, 39000};

class RateFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    before_ = testing::Bytes(
        {2, 1, 0, 0, {{1, 20240101, 38000}}, {{1, 20240101, 38000}, {2, 20240101, 48000}}});
    after_ = *MergeCursValImage(before_, kNews);
    WriteFileBytes(dat_, before_);
    WriteFileBytes(old_, earlier_);
  }
  bool Merge(RateFiles& files) { return MergeCursValFiles(files, dat_, old_, kNews); }
  bool TemporariesLeft() const { return FileExists(dat_ + ".new") || FileExists(old_ + ".new"); }

  ShortTempFolder folder_;
  const std::string dat_ = folder_ / "CURSVAL.DAT";
  const std::string old_ = folder_ / "CURSVAL.OLD";
  const std::string earlier_ = "an earlier backup";
  std::string before_, after_;
};

TEST_F(RateFileTest, AMergeLeavesTheNewFileAndTheOldBytesAsBackup) {
  FaultyFiles files(0, false);
  ASSERT_TRUE(Merge(files));
  EXPECT_EQ(ReadFileBytes(dat_), after_);
  EXPECT_EQ(ReadFileBytes(old_), before_);
  EXPECT_FALSE(TemporariesLeft());
}

TEST_F(RateFileTest, AFailureOrACrashAtAnyStepLeavesWholeFilesUnderBothNames) {
  FaultyFiles counting(0, false);
  ASSERT_TRUE(Merge(counting));
  for (const bool crash : {false, true}) {
    for (int step = 1; step <= counting.steps(); ++step) {
      SCOPED_TRACE((crash ? "crash at step " : "failure at step ") + std::to_string(step));
      WriteFileBytes(dat_, before_);
      WriteFileBytes(old_, earlier_);
      FaultyFiles files(step, crash);
      const bool merged = Merge(files);
      const std::string dat = ReadFileBytes(dat_), old = ReadFileBytes(old_);
      if (crash) {
        EXPECT_TRUE(dat == before_ || dat == after_);
        EXPECT_TRUE(old == earlier_ || old == before_);
      } else {
        // Either both files as they were, or (a failing clean-up after success) merged.
        EXPECT_EQ(std::pair(dat, old),
                  merged ? std::pair(after_, before_) : std::pair(before_, earlier_));
      }
      std::filesystem::remove(dat_ + ".new");
      std::filesystem::remove(old_ + ".new");
    }
  }
}

TEST_F(RateFileTest, AFileHeldByAnotherProgramIsLeftAloneSilently) {
  AutoHandle holder(CreateFileA(dat_.c_str(), GENERIC_READ | GENERIC_WRITE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(holder);
  EXPECT_FALSE(Merge(WindowsRateFiles()));
  holder.reset();
  EXPECT_EQ(ReadFileBytes(dat_), before_);
  EXPECT_EQ(ReadFileBytes(old_), earlier_);
  EXPECT_FALSE(TemporariesLeft());
}

TEST(RenameReplacing, ResultsOfTheRename) {
  ShortTempFolder folder;
  const std::string from = folder / "a.dat", to = folder / "b.dat";
  WriteFileBytes(from, "new");
  WriteFileBytes(to, "old");
  EXPECT_EQ(RenameReplacing(from + "   ", to + " "), 0);
  EXPECT_EQ(ReadFileBytes(to), "new");
  EXPECT_FALSE(FileExists(from));
  EXPECT_EQ(RenameReplacing(from, to), 2);  // no such file
  EXPECT_EQ(RenameReplacing(folder / std::string(261, 'x'), to), 2);
  EXPECT_EQ(ReadFileBytes(to), "new");
}

// The whole update in a documents data directory named by DIRVAN.DAT in the
// current directory.
class UpdateFromNewsTest : public RateFileTest {
 protected:
  void SetUp() override {
    RateFileTest::SetUp();
    SetCurrentDirectoryA(folder_.path().c_str());
    std::array<char, erpdirs::kRecordSize> record{};
    erpdirs::SetDocumentsDirectoryDefaults(record);
    erpdirs::SetPathField(record, erpdirs::kDocumentsDataDirectory,
                          folder_.path().substr(0, folder_.path().size() - 1));
    WriteFileBytes(folder_ / "DIRVAN.DAT", std::string(record.data(), record.size()));
    ASSERT_EQ(erpdirs::LoadDocumentsDirectoryFile(), 0);
  }
  velmora::testing::KeepCurrentDirectory keep_;
  velmora::testing::BoxRecorder boxes_;
};

TEST_F(UpdateFromNewsTest, TheRatesOfTheNewsAreMergedSilently) {
  UpdateCursValFromNews("05.03.2024", "4.9512      ", "3.9000      ");
  EXPECT_EQ(ReadFileBytes(dat_), after_);
  EXPECT_EQ(ReadFileBytes(old_), before_);
  EXPECT_TRUE(boxes_.Boxes().empty());
}

TEST_F(UpdateFromNewsTest,
       ADirectoryFileThatCannotBeReadAgainLeavesTheMergeOnTheDirectoryReadBefore) {
  // Emptied: the re-read at the merge fails, and a new file is not made in its place.
  WriteFileBytes(folder_ / "DIRVAN.DAT", "");
  UpdateCursValFromNews("05.03.2024", "4.9512      ", "3.9000      ");
  EXPECT_EQ(ReadFileBytes(dat_), after_);
  EXPECT_EQ(ReadFileBytes(old_), before_);
  EXPECT_TRUE(boxes_.Boxes().empty());
}

TEST_F(UpdateFromNewsTest, NothingChangesWithoutPermissionOrWithBadTexts) {
  struct Case {
    int16_t permission;
    const char *date, *euro, *usd;
  };
  const Case cases[] = {{0, "05.03.2024", "4.9512", "3.9"},
                        {2, "05.03.2024", "4.9512", "3.9"},
                        {1, "31.04.2024", "4.9512", "3.9"},
                        {1, "05.03.2024", "abc", "3.9"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.permission);
    const std::string file = testing::Bytes({0, c.permission, 0, 0, {}, {}});
    WriteFileBytes(dat_, file);
    UpdateCursValFromNews(c.date, c.euro, c.usd);
    EXPECT_EQ(ReadFileBytes(dat_), file);
    EXPECT_EQ(ReadFileBytes(old_), earlier_);
  }
  EXPECT_TRUE(boxes_.Boxes().empty());
}

TEST_F(UpdateFromNewsTest, AMissingFileIsReportedOnce) {
  std::filesystem::remove(dat_);
  UpdateCursValFromNews("05.03.2024", "4.9512", "3.9000");
  ASSERT_EQ(boxes_.Boxes().size(), 1u);
  const auto& box = boxes_.Boxes()[0];
  EXPECT_EQ(box.owner, nullptr);
  EXPECT_EQ(box.text, "Eroare la deschiderea CursVal.dat");
  EXPECT_EQ(box.caption, "Vantor - Curs valutar");
  EXPECT_EQ(box.style, static_cast<UINT>(MB_ICONWARNING));
  EXPECT_FALSE(FileExists(dat_));
  EXPECT_EQ(ReadFileBytes(old_), earlier_);
}

}  // namespace
}  // namespace velmora::rates
