// Romanian letters on screen and in the files whatever the system's ANSI code
// page: the launcher in a sample suite against the reference server, its
// texts read back as Unicode, a message typed as Unicode. ctest runs this
// program under code page 1250 and again under 1252.

#include <gtest/gtest.h>

#include <memory>

#include "launcher_fixture.h"
#include "support/reference_server.h"
#include "support/temp_dir.h"

namespace velmora::e2e {
namespace {

namespace fs = std::filesystem;
using namespace velmora::testing;

constexpr int kNewsHost = 1030, kNewsWeather = 1035, kNewsText = 1031;
constexpr int kSlideCaption = 1049, kMessageEdit = 1047, kSend = 1048, kHistory = 1051, kHistoryDetail = 1043;

// WM_GETTEXT through the W call, as a Unicode program or a screen reader sees it.
std::wstring UnicodeText(HWND window) {
  wchar_t text[4096] = {};
  DWORD_PTR copied = 0;
  SendMessageTimeoutW(window, WM_GETTEXT, std::size(text), reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000,
                      &copied);
  return text;
}

std::string Utf8(const std::wstring& text) {
  std::string bytes(text.size() * 3, '\0');
  bytes.resize(static_cast<std::size_t>(WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                                            bytes.data(), static_cast<int>(bytes.size()), nullptr,
                                                            nullptr)));
  return bytes;
}

// Waits until the window's Unicode text holds `part`; the text seen last.
std::wstring WaitForText(HWND window, std::wstring_view part, Milliseconds timeout) {
  std::wstring text;
  WaitUntil([&] { return (text = UnicodeText(window)).find(part) != std::wstring::npos; }, timeout);
  return text;
}

// The files of a folder whose names start with `prefix`.
std::vector<fs::path> FilesStartingWith(const fs::path& folder, std::string_view prefix) {
  std::vector<fs::path> found;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(folder, error))
    if (entry.path().filename().string().starts_with(prefix)) found.push_back(entry.path());
  return found;
}

class RomanianText : public LauncherTest {
 protected:
  void SetUp() override {
    LauncherTest::SetUp();
    if (HasFatalFailure()) return;
    // The sample news only: no waiting message, so no announcement comes between.
    fs::copy(fs::path(VELMORA_SERVER_SAMPLE) / "root", serverDir_.path() / "root");
    server_ = std::make_unique<ReferenceServer>(VELMORA_SERVER_EXE, serverDir_.path() / "root",
                                                serverDir_.path() / "data");
    ASSERT_TRUE(server_->listening()) << "the reference server did not start";
    WriteFileBytes(Erp() / "hostlane.lst", server_->address() + "\r\n");
    launcher_ = std::make_unique<DrivenProgram>(StartLauncher());
    main_ = StartAndFindMain(*launcher_);
    ASSERT_NE(main_, nullptr);
  }
  void TearDown() override {
    if (main_ != nullptr) {
      EXPECT_EQ(Close(*launcher_, main_), 0u);
    }
  }

  TempDir serverDir_;
  std::unique_ptr<ReferenceServer> server_;
  std::unique_ptr<DrivenProgram> launcher_;
  HWND main_ = nullptr;
};

TEST_F(RomanianText, TheNewsTheWeatherAndASlideCaptionReadBackAsUnicode) {
  const HWND strip = GetWindow(GetDlgItem(main_, kNewsHost), GW_CHILD);
  ASSERT_NE(strip, nullptr);
  const struct {
    HWND window;
    std::wstring_view part;
  } cases[] = {
      {GetDlgItem(strip, kNewsWeather), L"Bucure\u015Fti: cer noros, \u00EEntre -1 \u015Fi 4\u00B0C."},
      {GetDlgItem(strip, kNewsWeather), L"cea\u0163\u0103 diminea\u0163a"},
      {GetDlgItem(strip, kNewsText), L"declara\u0163ia D394 pentru luna decembrie \u015Fi exportul"},
      {GetDlgItem(strip, kNewsText), L"o copie de siguran\u0163\u0103 a datelor \u00EEnainte de \u00EEnchidere"},
      {GetDlgItem(main_, kSlideCaption), L"Bine a\u0163i venit\r\n\u00EEn suita Corvane"},
  };
  for (const auto& c : cases) {
    EXPECT_NE(WaitForText(c.window, c.part, 20s).find(c.part), std::wstring::npos)
        << Utf8(UnicodeText(c.window)) << " lacks " << Utf8(std::wstring(c.part));
  }
}

TEST_F(RomanianText, AMessageTypedAsUnicodeIsFiledArchivedAndShownInCodePage1250) {
  const HWND edit = GetDlgItem(main_, kMessageEdit);
  // The first press takes the hint away.
  ASSERT_TRUE(PostCommand(main_, kSend));
  ASSERT_TRUE(WaitUntil([&] { return UnicodeText(edit).empty(); }, 5s)) << Utf8(UnicodeText(edit));
  // Typed on a Romanian keyboard: the comma-below letters.
  const std::wstring typed = L"\u0218tiin\u021B\u0103 \u0219i \u021Bar\u0103";
  for (wchar_t c : typed) PostMessageW(edit, WM_CHAR, c, 1);
  ASSERT_TRUE(WaitUntil([&] { return UnicodeText(edit) == typed; }, 5s)) << Utf8(UnicodeText(edit));
  ASSERT_TRUE(PostCommand(main_, kSend));
  const auto sent = WaitForMessageBox(*launcher_, "Vantor", 10s);
  ASSERT_TRUE(sent.has_value());
  EXPECT_EQ(sent->text, "Mesajul a fost trimis!");
  PressButton(sent->window, IDOK);

  // Code page 1250 with the cedilla forms, as its texts hold them: Ş ţ ă ş.
  const std::string filed = "\xAAtiin\xFE\xE3 \xBAi \xFE" "ar\xE3";
  std::vector<fs::path> files;
  ASSERT_TRUE(WaitUntil([&] {
    files = FilesStartingWith(Erp() / "OUT", "pMsg_");
    for (const fs::path& f : FilesStartingWith(Erp() / "SENT", "pMsg_")) files.push_back(f);
    return !files.empty();
  }, 5s));
  EXPECT_EQ(ReadFileBytes(files.front()), "915 " + filed);
  EXPECT_TRUE(ReadFileBytes(Erp() / "inbox.dat").ends_with(filed + "\r\n")) << ReadFileBytes(Erp() / "inbox.dat");

  // The history's newest row, selected when it opens, in its detail view.
  ASSERT_TRUE(PostCommand(main_, kHistory));
  HWND detail = nullptr;
  ASSERT_TRUE(WaitUntil([&] {
    for (HWND window : launcher_->TopLevelWindows())
      if (window != main_ && IsShown(window) && (detail = GetDlgItem(window, kHistoryDetail)) != nullptr) return true;
    return false;
  }, 5s));
  const std::wstring shown = L"\u015Etiin\u0163\u0103 \u015Fi \u0163ar\u0103";
  EXPECT_TRUE(WaitForText(detail, shown, 5s).ends_with(L"\r\n\r\n" + shown)) << Utf8(UnicodeText(detail));
  PressButton(GetParent(detail), IDCANCEL);
  EXPECT_TRUE(WaitUntil([&] { return !IsShown(GetParent(detail)); }, 5s));
}

}  // namespace
}  // namespace velmora::e2e
