// The launcher's start-up files and its log, on real files in a temporary folder.

#include <gtest/gtest.h>
#include <windows.h>
#include <mmsystem.h>

#include <optional>
#include <string>
#include <vector>

#include "common/ui_seams.h"
#include "link/link_api.h"
#include "shell/app_log.h"
#include "shell/start_files.h"
#include "support/temp_dir.h"
#include "support/ui_recorders.h"

namespace velmora::shell {
namespace {

using velmora::testing::ReadFileBytes;
using velmora::testing::TempDir;
using velmora::testing::WriteFileBytes;

using velmora::testing::SoundRecorder;

class GreetingTest : public ::testing::Test {
 protected:
  // Plays the greeting once and returns the resource id played.
  int GreetOnce() {
    PlayGreeting(GetModuleHandleA(nullptr), toggle_);
    auto& played = SoundRecorder::Sounds();
    EXPECT_EQ(played.size(), 1u);
    const velmora::testing::RecordedSound sound = played.back();
    played.clear();
    EXPECT_EQ(sound.flags, static_cast<DWORD>(SND_RESOURCE | SND_ASYNC));
    return static_cast<int>(sound.ResourceId());
  }

  TempDir dir_;
  std::string toggle_ = dir_ / "velmora.fnb";
  SoundRecorder sounds_;
};

TEST_F(GreetingTest, TheTwoGreetingsAlternateFromStartToStart) {
  struct Step {
    std::optional<std::string>
        seed;  // written before the start; nullopt keeps what the last start left
    int played;
    std::string stored;
  };
  const Step steps[] = {
      {std::nullopt, 154, std::string("\x01\x00", 2)},  // no file yet: counts as 0
      {std::nullopt, 155, std::string("\x00\x00", 2)},
      {std::nullopt, 154, std::string("\x01\x00", 2)},
      {std::string("\x07\x00", 2), 155, std::string("\x00\x00", 2)},  // above 1: the second, then 0
      {std::string("\xFD\xFF", 2), 155, std::string("\xFE\xFF", 2)},  // -3 only counts on
      {std::string("\x01"), 154, std::string("\x01\x00", 2)},         // a one-byte file counts as 0
  };
  for (const Step& step : steps) {
    if (step.seed) WriteFileBytes(toggle_, *step.seed);
    EXPECT_EQ(GreetOnce(), step.played);
    EXPECT_EQ(ReadFileBytes(toggle_), step.stored);
  }
}

TEST(AppLog, WritesNothingWhileTheChannelIsNotPositive) {
  TempDir dir;
  const std::string path = dir / "velmora.log";
  OpenAppLog(-1, path);
  WriteAppLog("Init>>>");
  EXPECT_EQ(AppLogChannel(), -1);
  EXPECT_EQ(GetFileAttributesA(path.c_str()), INVALID_FILE_ATTRIBUTES) << "no file is left behind";
  OpenAppLog(0, path);
  WriteAppLog("Init>>>");
  EXPECT_EQ(GetFileAttributesA(path.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(AppLog, APositiveChannelAppendsTimedLinesOfTheGivenLength) {
  TempDir dir;
  const std::string path = dir / "velmora.log";
  OpenAppLog(7, path);
  WriteAppLog("Init>>>");
  WriteAppLog("timer 1 .... and more", 12);
  WriteAppLog("ignored", 0);
  CloseAppLog();
  WriteAppLog("after close");

  const std::string log = ReadFileBytes(path);
  std::vector<std::string> lines;
  for (std::size_t start = 0, end; (end = log.find("\r\n", start)) != std::string::npos;
       start = end + 2)
    lines.push_back(log.substr(start, end - start));
  ASSERT_EQ(lines.size(), 3u) << log;
  // " hh:mm:ss:cc - message", the hour blank-padded to two columns.
  for (const auto& line : lines) {
    ASSERT_GE(line.size(), 15u);
    EXPECT_EQ(line[0], ' ');
    EXPECT_TRUE(line[1] == ' ' || isdigit(static_cast<unsigned char>(line[1])));
    EXPECT_EQ(line[3], ':');
    EXPECT_EQ(line[6], ':');
    EXPECT_EQ(line[9], ':');
    EXPECT_EQ(line.substr(12, 3), " - ");
  }
  EXPECT_EQ(lines[0].substr(15), "Init>>>");
  EXPECT_EQ(lines[1].substr(15), "timer 1 ....");
  EXPECT_EQ(lines[2].substr(15), "");
}

TEST(AppLog, TheLinksLinesShareTheApplicationLog) {
  TempDir dir;
  const std::string path = dir / "velmora.log";
  OpenAppLog(3, path);
  link::SetLinkLogWriter(&AppendAppLogLine);
  link::SETLUNSTARWNDLOG(3);
  link::WRITEINLOGSTARWND("WM_REC - 1");
  WriteAppLog("Bye!");
  link::SETLUNSTARWNDLOG(-1);
  link::WRITEINLOGSTARWND("not written");
  CloseAppLog();
  const std::string log = ReadFileBytes(path);
  EXPECT_NE(log.find("WM_REC - 1\r\n"), std::string::npos) << log;
  EXPECT_NE(log.find(" - Bye!\r\n"), std::string::npos) << log;
  EXPECT_EQ(log.find("not written"), std::string::npos) << log;
}

}  // namespace
}  // namespace velmora::shell
