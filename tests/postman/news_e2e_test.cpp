// The news of the whole launcher: started in the sample suite against the
// reference server on a loopback address of this test's own (port 5150), it
// shows the news in its strip, merges the rates into CURSVAL.DAT keeping the
// old bytes in CURSVAL.OLD and writes its cache; a second start within two
// hours asks no "903". Without a server the strip shows the failure texts,
// nothing is written and the main window keeps answering. (A server that
// never answers is the news fetch's own test, news_fetch_test.)

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "launcher_fixture.h"
#include "rates/cursval_merge.h"
#include "support/reference_server.h"
#include "support/temp_dir.h"

namespace velmora::e2e {
namespace {

namespace fs = std::filesystem;
using velmora::testing::ControlText;
using velmora::testing::ReadFileBytes;
using velmora::testing::WaitUntil;
using velmora::testing::WriteFileBytes;

constexpr int kNewsHost = 1030;
constexpr int kNewsText = 1031, kNewsEur = 1032, kNewsUsd = 1033, kNewsDate = 1034,
              kNewsWeather = 1035;
const char kFailure[] = "Eroare de sincronizare cu serverul CORVANE!";

class NewsE2eTest : public LauncherTest {
 protected:
  NewsE2eTest() : LauncherTest("vn") {}
  void SetUp() override {
    LauncherTest::SetUp();
    PointLauncherAt(velmora::testing::RandomLoopbackAddress());  // nobody listens there
    rateFileBefore_ = ReadFileBytes(Vantor() / "CURSVAL.DAT");
  }
  // The launcher and the slide library both ask only this address.
  void PointLauncherAt(const std::string& address) {
    WriteFileBytes(Erp() / "hostlane.lst", address + "\r\n");
    WriteFileBytes(Erp() / "iplist.txt", address + "\r\n");
  }
  void StartServer(const std::string& faults = {}) {
    server_ = std::make_unique<velmora::testing::ReferenceServer>(
        VELMORA_SERVER_EXE, VELMORA_SAMPLE_ROOT, SuiteDir() / "server-data", faults);
    ASSERT_TRUE(server_->listening());
    PointLauncherAt(server_->address());
  }
  int NewsRequests() const {
    const std::string log = server_->Log();
    int n = 0;
    for (auto at = log.find(" 903 "); at != std::string::npos; at = log.find(" 903 ", at + 1)) ++n;
    return n;
  }
  static HWND Strip(HWND main) {
    return FindWindowExA(GetDlgItem(main, kNewsHost), nullptr, "#32770", nullptr);
  }
  // Waits until the strip's control shows `text`.
  static bool StripShows(HWND main, int control, const std::string& text,
                         Milliseconds timeout = 20s) {
    return WaitUntil([&] { return ControlText(Strip(main), control) == text; }, timeout);
  }
  static bool Answers(HWND main) {
    DWORD_PTR ignored = 0;
    return SendMessageTimeoutA(main, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &ignored) != 0;
  }
  void ExpectNothingWritten() {
    EXPECT_FALSE(fs::exists(Erp() / "velmora.cfg"));
    EXPECT_EQ(ReadFileBytes(Vantor() / "CURSVAL.DAT"), rateFileBefore_);
    EXPECT_FALSE(fs::exists(Vantor() / "CURSVAL.OLD"));
  }

  std::string rateFileBefore_;
  std::unique_ptr<velmora::testing::ReferenceServer> server_;
};

TEST_F(NewsE2eTest, TheNewsFillsTheStripMergesTheRatesAndIsCachedForTheNextStart) {
  StartServer();
  DrivenProgram launcher = StartLauncher();
  HWND main = StartAndFindMain(launcher);
  ASSERT_NE(main, nullptr);
  // The news text is filled last.
  ASSERT_TRUE(WaitUntil(
      [&] { return ControlText(Strip(main), kNewsText).starts_with("Vantor 5.2 este"); }, 20s));
  EXPECT_EQ(ControlText(Strip(main), kNewsDate), "08.12.2026");
  EXPECT_EQ(ControlText(Strip(main), kNewsEur), "4.9741");
  EXPECT_EQ(ControlText(Strip(main), kNewsUsd), "4.2650");
  EXPECT_TRUE(ControlText(Strip(main), kNewsWeather).starts_with("Bucure"));

  const auto merged = rates::MergeCursValImage(rateFileBefore_, {20261208, 49741, 42650});
  ASSERT_TRUE(merged);
  EXPECT_EQ(ReadFileBytes(Vantor() / "CURSVAL.DAT"), *merged);
  EXPECT_EQ(ReadFileBytes(Vantor() / "CURSVAL.OLD"), rateFileBefore_);
  const std::string cache = ReadFileBytes(Erp() / "velmora.cfg");
  EXPECT_EQ(cache.size(), 5008u);
  EXPECT_EQ(NewsRequests(), 1);
  ASSERT_TRUE(Close(launcher, main));

  DrivenProgram again = StartLauncher();
  main = StartAndFindMain(again);
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(WaitUntil(
      [&] { return ControlText(Strip(main), kNewsText).starts_with("Vantor 5.2 este"); }, 20s));
  EXPECT_EQ(ControlText(Strip(main), kNewsEur), "4.9741");
  EXPECT_EQ(NewsRequests(), 1);  // the cache was young
  EXPECT_EQ(ReadFileBytes(Erp() / "velmora.cfg"), cache);
  EXPECT_EQ(ReadFileBytes(Vantor() / "CURSVAL.DAT"), *merged);
  EXPECT_TRUE(Close(again, main));
}

TEST_F(NewsE2eTest, WithoutAServerTheStripShowsTheFailureAndNothingIsWritten) {
  DrivenProgram launcher = StartLauncher();
  HWND main = StartAndFindMain(launcher);
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(StripShows(main, kNewsText, kFailure));
  for (const int control : {kNewsDate, kNewsEur, kNewsUsd, kNewsWeather})
    EXPECT_EQ(ControlText(Strip(main), control), "-");
  EXPECT_TRUE(Answers(main));
  ExpectNothingWritten();
  EXPECT_TRUE(Close(launcher, main));
}

}  // namespace
}  // namespace velmora::e2e
