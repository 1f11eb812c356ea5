// The real launcher in a fresh sample suite against the reference server on a
// loopback address of its own (port 5150, named in ERP\iplist.txt): request
// files dropped into ERP\OUT reach the server oldest first and end in
// ERP\SENT, and a message typed in the main dialog is archived, shown in
// the history and reaches the vendor.

#include <gtest/gtest.h>

#include <algorithm>

#include "common/delay_switch.h"
#include "launcher_fixture.h"
#include "stored_requests.h"
#include "support/reference_server.h"
#include "support/temp_dir.h"

namespace velmora::e2e {
namespace {

namespace fs = std::filesystem;
using velmora::testing::ControlText;
using velmora::testing::IsShown;
using velmora::testing::PostCommand;
using velmora::testing::ReadFileBytes;
using velmora::testing::WaitUntil;
using velmora::testing::WriteFileBytes;

constexpr auto kPassTimeout = 60s;  // start-up, the news, then the first pass
constexpr int kMessageEdit = 1047, kSendButton = 1048, kHistoryButton = 1051;
constexpr int kHistoryList = 1023, kHistoryDetail = 1043;
constexpr char kText[] = "Buna ziua, cerem o oferta";

class PostmanE2e : public LauncherTest {
 protected:
  PostmanE2e() : LauncherTest("pm") {}
  void SetUp() override {
    LauncherTest::SetUp();
    SetEnvironmentVariableA(kFirstPassDelayVariable, "500");  // the launcher's own wait is 7 s
    fs::create_directories(server_.path() / "root");
    WriteFileBytes(server_.path() / "root" / "hotnews.txt",
                   "<EURO>4.97</EURO><USD>4.51</USD><TEXT>news</TEXT>");
    process_ = std::make_unique<velmora::testing::ReferenceServer>(
        VELMORA_SERVER_EXE, server_.path() / "root", server_.path() / "data");
    ASSERT_TRUE(process_->listening()) << process_->address();
    WriteFileBytes(Erp() / "iplist.txt", process_->address() + "\r\n");
  }

  std::vector<std::string> Received() const {
    return velmora::postman::testing::StoredRequests(server_.path() / "data");
  }
  std::size_t Count(const fs::path& folder) const {
    return static_cast<std::size_t>(
        std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
  }

  velmora::testing::TempDir server_;
  std::unique_ptr<velmora::testing::ReferenceServer> process_;
};

TEST_F(PostmanE2e, DroppedRequestsArriveOldestFirstAndEndInSent) {
  const std::vector<std::pair<std::string, std::string>> drops = {
      {"zz.req", "915 first"}, {"aa.req", "450 second"}, {"mm.req", "777 third"}};
  fs::create_directories(Erp() / "OUT");
  for (const auto& [name, bytes] : drops) {
    WriteFileBytes(Erp() / "OUT" / name, bytes);
    Sleep(20);
  }
  DrivenProgram launcher = StartLauncher();
  ASSERT_NE(StartAndFindMain(launcher), nullptr);
  ASSERT_TRUE(WaitUntil([&] { return Count(Erp() / "SENT") == drops.size(); }, kPassTimeout));
  EXPECT_EQ(Received(), (std::vector<std::string>{"915 first", "450 second", "777 third"}));
  EXPECT_EQ(Count(Erp() / "OUT"), 0u);
  for (const auto& [name, bytes] : drops) EXPECT_EQ(ReadFileBytes(Erp() / "SENT" / name), bytes);
}

// A message typed in the main dialog and sent becomes an outgoing file and
// an archive entry, reaches the vendor, and the history opened from the main
// dialog shows it on top as the client's own.
TEST_F(PostmanE2e, ASentMessageIsArchivedShownInTheHistoryAndReachesTheVendor) {
  DrivenProgram launcher = StartLauncher();
  const HWND main = StartAndFindMain(launcher);
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(PostCommand(main, kSendButton));  // the first press only clears the hint text
  ASSERT_TRUE(WaitUntil([&] { return ControlText(main, kMessageEdit).empty(); }, 5s));
  SendMessageTimeoutA(GetDlgItem(main, kMessageEdit), WM_SETTEXT, 0,
                      reinterpret_cast<LPARAM>(kText), SMTO_ABORTIFHUNG, 2000, nullptr);
  ASSERT_TRUE(PostCommand(main, kSendButton));
  const auto box = velmora::testing::WaitForMessageBox(launcher, "Vantor", 10s);
  ASSERT_TRUE(box.has_value());
  EXPECT_EQ(box->text, "Mesajul a fost trimis!");
  velmora::testing::PressButton(box->window, IDOK);
  const std::string archive = ReadFileBytes(Erp() / "inbox.dat");
  EXPECT_TRUE(archive.starts_with("!---4711        \r\n")) << archive;
  EXPECT_TRUE(archive.ends_with(std::string("\r\n\r\n") + kText + "\r\n")) << archive;

  ASSERT_TRUE(PostCommand(main, kHistoryButton));
  HWND history = nullptr;
  ASSERT_TRUE(WaitUntil(
      [&] {
        for (HWND window : launcher.TopLevelWindows())
          if (IsShown(window) && GetDlgItem(window, kHistoryList) != nullptr) history = window;
        return history != nullptr;
      },
      kWindowTimeout));
  std::string detail;
  WaitUntil([&] { return !(detail = ControlText(history, kHistoryDetail)).empty(); }, 5s);
  EXPECT_TRUE(detail.starts_with("Data : ")) << detail;
  EXPECT_NE(detail.find(std::string("\r\nAutor : CU 4711\r\n\r\n") + kText), std::string::npos)
      << detail;
  velmora::testing::PressButton(history, IDCANCEL);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(history); }, 5s));

  ASSERT_TRUE(WaitUntil([&] { return Count(Erp() / "SENT") == 1; }, kPassTimeout));
  const fs::path sent = fs::directory_iterator(Erp() / "SENT")->path();
  EXPECT_TRUE(sent.filename().string().starts_with("pMsg_"));
  EXPECT_EQ(Received(), std::vector<std::string>{std::string("915 ") + kText});
  EXPECT_EQ(ReadFileBytes(sent), std::string("915 ") + kText);
  EXPECT_EQ(Close(launcher, main), 0u);
}

}  // namespace
}  // namespace velmora::e2e
