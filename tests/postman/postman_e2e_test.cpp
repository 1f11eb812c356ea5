// The real launcher in a fresh sample suite against the reference server on a
// loopback address of its own (port 5150, named in ERP\iplist.txt): request
// files dropped into ERP\OUT reach the server oldest first and end in
// ERP\SENT, and a message typed in the main dialog reaches the vendor.

#include <gtest/gtest.h>

#include <algorithm>

#include "launcher_fixture.h"
#include "stored_requests.h"
#include "support/reference_server.h"
#include "support/temp_dir.h"

namespace velmora::e2e {
namespace {

namespace fs = std::filesystem;
using velmora::testing::PostCommand;
using velmora::testing::ReadFileBytes;
using velmora::testing::WaitUntil;
using velmora::testing::WriteFileBytes;

constexpr auto kPassTimeout = 60s;  // start-up, the news, then the first pass after 8.5 s
constexpr int kMessageEdit = 1047;
constexpr int kSendButton = 1048;

class PostmanE2e : public LauncherTest {
 protected:
  PostmanE2e() : LauncherTest("pm") {}
  void SetUp() override {
    LauncherTest::SetUp();
    fs::create_directories(server_.path() / "root");
    WriteFileBytes(server_.path() / "root" / "hotnews.txt", "<EURO>4.97</EURO><USD>4.51</USD><TEXT>news</TEXT>");
    process_ = std::make_unique<velmora::testing::ReferenceServer>(VELMORA_SERVER_EXE, server_.path() / "root",
                                                                   server_.path() / "data");
    ASSERT_TRUE(process_->listening()) << process_->address();
    WriteFileBytes(Erp() / "iplist.txt", process_->address() + "\r\n");
  }

  std::vector<std::string> Received() const { return velmora::postman::testing::StoredRequests(server_.path() / "data"); }
  std::size_t Count(const fs::path& folder) const {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
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

TEST_F(PostmanE2e, TrimiteReachesTheVendor) {
  DrivenProgram launcher = StartLauncher();
  const HWND main = StartAndFindMain(launcher);
  ASSERT_NE(main, nullptr);
  PostCommand(main, kSendButton);  // the first press only clears the hint text
  Sleep(300);
  SendMessageTimeoutA(GetDlgItem(main, kMessageEdit), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Buna ziua"),
                      SMTO_ABORTIFHUNG, 2000, nullptr);
  PostCommand(main, kSendButton);
  const auto box = velmora::testing::WaitForMessageBox(launcher, "Vantor", 10s);
  ASSERT_TRUE(box.has_value());
  EXPECT_EQ(box->text, "Mesajul a fost trimis!");
  velmora::testing::PressButton(box->window, IDOK);
  ASSERT_TRUE(WaitUntil([&] { return Count(Erp() / "SENT") == 1; }, kPassTimeout));
  const fs::path sent = fs::directory_iterator(Erp() / "SENT")->path();
  EXPECT_TRUE(sent.filename().string().starts_with("pMsg_"));
  const std::vector<std::string> received = Received();
  ASSERT_EQ(received.size(), 1u);
  EXPECT_EQ(received[0], ReadFileBytes(sent));
  EXPECT_TRUE(received[0].starts_with("915 "));
}

}  // namespace
}  // namespace velmora::e2e
