// The real launcher in a fresh sample suite: a message typed in the main
// dialog and sent becomes an outgoing file and an archive entry, and the
// history opened from the main dialog shows it on top as the client's own.

#include <gtest/gtest.h>

#include "launcher_fixture.h"
#include "support/temp_dir.h"

namespace velmora::e2e {
namespace {

namespace fs = std::filesystem;
using namespace velmora::testing;

constexpr int kMessageEdit = 1047, kSendButton = 1048, kHistoryButton = 1051;
constexpr int kHistoryList = 1023, kHistoryDetail = 1043;
constexpr char kText[] = "Buna ziua, cerem o oferta";

class MessagesE2E : public LauncherTest {
 protected:
  // The outgoing file waits in ERP\OUT\ unless a postman already sent it on.
  std::vector<fs::path> MessageFiles() const {
    std::vector<fs::path> files;
    for (const char* folder : {"OUT", "SENT"})
      if (fs::exists(Erp() / folder))
        for (const auto& file : fs::directory_iterator(Erp() / folder))
          if (file.path().filename().string().starts_with("pMsg_")) files.push_back(file.path());
    return files;
  }

  HWND HistoryWindow(const DrivenProgram& launcher) const {
    HWND history = nullptr;
    WaitUntil(
        [&] {
          for (HWND window : launcher.TopLevelWindows())
            if (IsShown(window) && GetDlgItem(window, kHistoryList) != nullptr) history = window;
          return history != nullptr;
        },
        kWindowTimeout);
    return history;
  }
};

TEST_F(MessagesE2E, ASentMessageIsFiledArchivedAndOnTopOfTheHistory) {
  DrivenProgram launcher = StartLauncher();
  HWND main = StartAndFindMain(launcher);
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(PostCommand(main, kSendButton));  // the first press clears the placeholder
  ASSERT_TRUE(WaitUntil([&] { return ControlText(main, kMessageEdit).empty(); }, 5s));
  SendMessageTimeoutA(GetDlgItem(main, kMessageEdit), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(kText),
                      SMTO_ABORTIFHUNG, 2000, nullptr);
  ASSERT_TRUE(PostCommand(main, kSendButton));
  const auto sent = WaitForMessageBox(launcher, "Vantor", 10s);
  ASSERT_TRUE(sent.has_value());
  EXPECT_EQ(sent->text, "Mesajul a fost trimis!");
  PressButton(sent->window, IDOK);

  const auto files = MessageFiles();
  ASSERT_EQ(files.size(), 1u);
  EXPECT_EQ(ReadFileBytes(files[0]), std::string("915 ") + kText);
  const std::string archive = ReadFileBytes(Erp() / "inbox.dat");
  EXPECT_TRUE(archive.starts_with("!---4711        \r\n")) << archive;
  EXPECT_TRUE(archive.ends_with(std::string("\r\n\r\n") + kText + "\r\n")) << archive;

  ASSERT_TRUE(PostCommand(main, kHistoryButton));
  const HWND history = HistoryWindow(launcher);
  ASSERT_NE(history, nullptr);
  std::string detail;
  WaitUntil([&] { return !(detail = ControlText(history, kHistoryDetail)).empty(); }, 5s);
  EXPECT_TRUE(detail.starts_with("Data : ")) << detail;
  EXPECT_NE(detail.find(std::string("\r\nAutor : CU 4711\r\n\r\n") + kText), std::string::npos) << detail;
  PressButton(history, IDCANCEL);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(history); }, 5s));
  EXPECT_EQ(Close(launcher, main), 0u);
}

}  // namespace
}  // namespace velmora::e2e
