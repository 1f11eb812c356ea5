// The news of the whole launcher: started in the sample suite against the
// reference server on a loopback address of this test's own (port 5150), it
// shows the news in its strip, merges the rates into CURSVAL.DAT keeping the
// old bytes in CURSVAL.OLD and writes its cache; a second start within two
// hours asks no "903". Without a server, or with one that never answers,
// the strip shows the failure texts, nothing is written and the main window
// keeps answering.

#include <winsock2.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "launcher_fixture.h"
#include "rates/cursval_merge.h"
#include "support/temp_dir.h"

namespace velmora::e2e {
namespace {

namespace fs = std::filesystem;
using velmora::testing::ControlText;
using velmora::testing::ReadFileBytes;
using velmora::testing::WaitUntil;
using velmora::testing::WriteFileBytes;

constexpr int kNewsHost = 1030;
constexpr int kNewsText = 1031, kNewsEur = 1032, kNewsUsd = 1033, kNewsDate = 1034, kNewsWeather = 1035;
const char kFailure[] = "Eroare de sincronizare cu serverul CORVANE!";

std::string RandomLoopbackAddress() {
  std::random_device seed;
  std::mt19937 pick(seed());
  auto part = [&](int low, int high) { return std::to_string(std::uniform_int_distribution<int>(low, high)(pick)); };
  return "127." + part(20, 220) + "." + part(1, 250) + "." + part(1, 250);
}

bool Listening(const std::string& address) {
  SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(5150);
  a.sin_addr.s_addr = inet_addr(address.c_str());
  const bool ok = connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
  closesocket(s);
  return ok;
}

class NewsE2eTest : public LauncherTest {
 protected:
  NewsE2eTest() : LauncherTest("vn") {}
  void SetUp() override {
    LauncherTest::SetUp();
    WSADATA wsa;
    WSAStartup(MAKEWORD(2, 2), &wsa);
    // The launcher and the slide library both ask only this address.
    WriteFileBytes(Erp() / "hostlane.lst", address_ + "\r\n");
    WriteFileBytes(Erp() / "iplist.txt", address_ + "\r\n");
    rateFileBefore_ = ReadFileBytes(Vantor() / "CURSVAL.DAT");
  }
  void StartServer(std::string_view faults = {}) {
    fs::create_directories(SuiteDir() / "server-data");
    server_.emplace(VELMORA_SERVER_EXE, "--root \"" VELMORA_SAMPLE_ROOT "\" --data \"" +
                                            (SuiteDir() / "server-data").string() + "\" --bind " + address_ +
                                            " --port 5150 --exit-after-seconds 170 --log \"" + ServerLog().string() +
                                            "\" " + std::string(faults));
    ASSERT_TRUE(WaitUntil([&] { return Listening(address_); }, 20s)) << "no server on " << address_;
  }
  fs::path ServerLog() const { return SuiteDir() / "server.log"; }
  int NewsRequests() const {
    const std::string log = ReadFileBytes(ServerLog());
    int n = 0;
    for (auto at = log.find(" 903 "); at != std::string::npos; at = log.find(" 903 ", at + 1)) ++n;
    return n;
  }
  static HWND Strip(HWND main) { return FindWindowExA(GetDlgItem(main, kNewsHost), nullptr, "#32770", nullptr); }
  // Waits until the strip's control shows `text`.
  static bool StripShows(HWND main, int control, const std::string& text, Milliseconds timeout = 20s) {
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

  const std::string address_ = RandomLoopbackAddress();
  std::string rateFileBefore_;
  std::optional<DrivenProgram> server_;
};

TEST_F(NewsE2eTest, TheNewsFillsTheStripMergesTheRatesAndIsCachedForTheNextStart) {
  StartServer();
  DrivenProgram launcher = StartLauncher();
  HWND main = StartAndFindMain(launcher);
  ASSERT_NE(main, nullptr);
  // The news text is filled last.
  ASSERT_TRUE(WaitUntil([&] { return ControlText(Strip(main), kNewsText).starts_with("Vantor 5.2 este"); }, 20s));
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
  ASSERT_TRUE(WaitUntil([&] { return ControlText(Strip(main), kNewsText).starts_with("Vantor 5.2 este"); }, 20s));
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

TEST_F(NewsE2eTest, AServerThatNeverAnswersLeavesTheLauncherResponsive) {
  StartServer("--never-answer --fault-scope requests");
  DrivenProgram launcher = StartLauncher();
  HWND main = StartAndFindMain(launcher);
  ASSERT_NE(main, nullptr);
  // Qualified: the news thread now waits for an answer that never comes.
  ASSERT_TRUE(WaitUntil([&] { return ReadFileBytes(ServerLog()).find(" 000 ") != std::string::npos; }, 20s));
  EXPECT_TRUE(Answers(main));
  ASSERT_TRUE(StripShows(main, kNewsText, kFailure, 60s));
  EXPECT_EQ(ControlText(Strip(main), kNewsEur), "-");
  ExpectNothingWritten();
  EXPECT_TRUE(Close(launcher, main));
}

}  // namespace
}  // namespace velmora::e2e
