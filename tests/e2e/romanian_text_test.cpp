// Romanian letters on screen and in the files whatever the system's ANSI code
// page: the launcher against the reference server, its texts read back as
// Unicode, a message typed as Unicode. ctest runs it under 1250 and 1252.

#include <memory>

#include "launcher_fixture.h"
#include "support/reference_server.h"
#include "support/temp_dir.h"

namespace velmora::e2e {
namespace {

namespace fs = std::filesystem;
using namespace velmora::testing;

// WM_GETTEXT through the W call; the text once it holds `part` (or the last one seen).
std::wstring UnicodeText(HWND window, std::wstring_view part = {}, Milliseconds timeout = 0ms) {
  wchar_t text[4096] = {};
  WaitUntil(
      [&] {
        text[0] = L'\0';
        SendMessageTimeoutW(window, WM_GETTEXT, std::size(text), reinterpret_cast<LPARAM>(text),
                            SMTO_ABORTIFHUNG, 2000, nullptr);
        return std::wstring_view(text).find(part) != std::wstring_view::npos;
      },
      timeout);
  return text;
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
    ASSERT_TRUE(server_->listening());
    WriteFileBytes(Erp() / "hostlane.lst", server_->address() + "\r\n");
    ASSERT_NE(main_ = StartAndFindMain(launcher_.emplace(StartLauncher())), nullptr);
  }
  void TearDown() override { EXPECT_TRUE(main_ == nullptr || Close(*launcher_, main_) == 0u); }

  TempDir serverDir_;
  std::unique_ptr<ReferenceServer> server_;
  std::optional<DrivenProgram> launcher_;
  HWND main_ = nullptr;
};

TEST_F(RomanianText, TheNewsTheWeatherAndASlideCaptionReadBackAsUnicode) {
  const HWND strip = GetWindow(GetDlgItem(main_, 1030), GW_CHILD);
  const struct {
    HWND window;
    std::wstring_view part;
  } cases[] = {
      {GetDlgItem(strip, 1035), L"Bucure\u015Fti: cer noros, \u00EEntre -1 \u015Fi 4\u00B0C."},
      {GetDlgItem(strip, 1035), L"cea\u0163\u0103 diminea\u0163a"},
      {GetDlgItem(strip, 1031), L"declara\u0163ia D394 pentru luna decembrie \u015Fi exportul"},
      {GetDlgItem(strip, 1031),
       L"copie de siguran\u0163\u0103 a datelor \u00EEnainte de \u00EEnchidere"},
      {GetDlgItem(main_, 1049),
       L"Bine a\u0163i venit\r\n\u00EEn suita Corvane"},  // the slide caption
  };
  for (const auto& c : cases)
    EXPECT_NE(UnicodeText(c.window, c.part, 20s).find(c.part), std::wstring::npos);
}

TEST_F(RomanianText, AMessageTypedAsUnicodeIsFiledArchivedAndShownInCodePage1250) {
  const HWND edit = GetDlgItem(main_, 1047);
  ASSERT_TRUE(PostCommand(main_, 1048));  // the first press of "Trimite !" takes the hint away
  ASSERT_TRUE(WaitUntil([&] { return UnicodeText(edit).empty(); }, 5s));
  const std::wstring typed =
      L"\u0218tiin\u021B\u0103 \u0219i \u021Bar\u0103";  // comma-below, as typed
  for (wchar_t c : typed) PostMessageW(edit, WM_CHAR, c, 1);
  ASSERT_EQ(UnicodeText(edit, typed, 5s), typed);
  ASSERT_TRUE(PostCommand(main_, 1048));
  const auto sent = WaitForMessageBox(*launcher_, "Vantor", 10s);
  ASSERT_TRUE(sent.has_value());
  PressButton(sent->window, IDOK);

  const std::string filed =
      "\xAAtiin\xFE\xE3 \xBAi \xFE"
      "ar\xE3";  // cedilla forms: Ş ţ ă ş
  std::string request;
  ASSERT_TRUE(WaitUntil(
      [&] {  // the postman may have sent it already
        for (const char* folder : {"OUT", "SENT"})
          for (const auto& file : fs::directory_iterator(Erp() / folder))
            if (file.path().filename().string().starts_with("pMsg_"))
              request = ReadFileBytes(file.path());
        return !request.empty();
      },
      5s));
  EXPECT_EQ(request, "915 " + filed);
  EXPECT_TRUE(ReadFileBytes(Erp() / "inbox.dat").ends_with(filed + "\r\n"));

  ASSERT_TRUE(PostCommand(main_, 1051));  // the history: its newest row in the detail view
  HWND detail = nullptr;
  ASSERT_TRUE(WaitUntil(
      [&] {
        for (HWND window : launcher_->TopLevelWindows())
          if (window != main_ && IsShown(window) && (detail = GetDlgItem(window, 1043)) != nullptr)
            return true;
        return false;
      },
      5s));
  const std::wstring shown = L"\r\n\r\n\u015Etiin\u0163\u0103 \u015Fi \u0163ar\u0103";
  EXPECT_TRUE(UnicodeText(detail, shown, 5s).ends_with(shown));
  PressButton(GetParent(detail), IDCANCEL);
}

}  // namespace
}  // namespace velmora::e2e
