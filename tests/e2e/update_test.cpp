// The update path of the real launcher in a sample suite, against the
// reference server at a loopback address of its own: the schedule refresh,
// the banner, the self-update through the banner's button, and a tampered
// staged file that leaves every installed file as it was.

#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <memory>

#include "common/delay_switch.h"
#include "launcher_fixture.h"
#include "sample_suite/sample_media.h"
#include "sample_suite/sample_offer.h"
#include "support/reference_server.h"
#include "support/temp_dir.h"
#include "update_manifest/sha256_file.h"
#include "update_manifest/update_manifest.h"

namespace velmora::e2e {
namespace {

namespace fs = std::filesystem;
using namespace velmora::testing;
using velmora::standins::OfferedDetailText;
using velmora::standins::OfferedProgramBytes;
using velmora::standins::OfferedSchedule;

constexpr int kBannerButton = 1025;
constexpr int kSlideCaption = 1049;
constexpr auto kUpdateCheckDelay =
    3s;  // shorter than the launcher's own, after the schedule refresh
void ShortenUpdateCheck(Milliseconds delay) {
  SetEnvironmentVariableA(kUpdateCheckDelayVariable, std::to_string(delay.count()).c_str());
}

struct LauncherSearch {
  DWORD process = 0;
  HWND main = nullptr;
};

BOOL CALLBACK FindLauncherWindow(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<LauncherSearch*>(data);
  if (ClassNameOf(window) == "#32770" && TitleOf(window).starts_with(kMainTitlePrefix)) {
    GetWindowThreadProcessId(window, &search->process);
    search->main = window;
    return FALSE;
  }
  return TRUE;
}

BOOL CALLBACK AcceptLauncherBox(HWND window, LPARAM data) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process == reinterpret_cast<LauncherSearch*>(data)->process && IsWindowVisible(window) &&
      GetDlgItem(window, 0xFFFF) != nullptr && GetDlgItem(window, IDOK) != nullptr)
    PressButton(window, IDOK);
  return TRUE;
}

// A launcher that the self-update started (no child of this test): its main
// window once shown, pressing OK on the message boxes it shows on its way.
HWND RestartedLauncher() {
  LauncherSearch search;
  EnumWindows(FindLauncherWindow, reinterpret_cast<LPARAM>(&search));
  if (search.main == nullptr) return nullptr;
  EnumWindows(AcceptLauncherBox, reinterpret_cast<LPARAM>(&search));
  return IsWindowVisible(search.main) ? search.main : nullptr;
}

// The programs and libraries of the suite with their bytes.
std::map<fs::path, std::string> InstalledPrograms(const fs::path& suite) {
  std::map<fs::path, std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(suite)) {
    const std::string extension = entry.path().extension().string();
    if (entry.is_regular_file() && (extension == ".exe" || extension == ".dll") &&
        entry.path().string().find("\\UPDATE") == std::string::npos)
      files[entry.path()] = ReadFileBytes(entry.path());
  }
  return files;
}

std::size_t Count(const std::string& text, std::string_view what) {
  std::size_t n = 0;
  for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

class UpdatePath : public LauncherTest {
 protected:
  void SetUp() override {
    LauncherTest::SetUp();
    if (HasFatalFailure()) return;
    ShortenUpdateCheck(kUpdateCheckDelay);  // inherited by the launchers started later
    ASSERT_TRUE(velmora::standins::WriteSampleOffer(
        serverDir_.path() / "root", VELMORA_BIN_DIR,
        [](std::string_view b) { return standins::Sha256OfBytes(b); }));
    server_ = std::make_unique<ReferenceServer>(VELMORA_SERVER_EXE, serverDir_.path() / "root",
                                                serverDir_.path() / "data");
    ASSERT_TRUE(server_->listening()) << "the reference server did not start";
    WriteFileBytes(Erp() / "hostlane.lst", server_->address() + "\r\n");
  }

  void TearDown() override {
    // A launcher started again by the self-update is no child of this test.
    HWND again = nullptr;
    if (WaitUntil([&] { return (again = RestartedLauncher()) != nullptr || !LauncherRunning(); },
                  10s) &&
        again)
      PostCommand(again, IDCANCEL);
    // One that did not close in time would hold the instance mutex for the next tests.
    if (!WaitUntil([] { return !LauncherRunning(); }, 15s)) EndProcessesOf(Erp() / "velmora.exe");
  }

  std::string OfferedProgram() const {
    return OfferedProgramBytes(velmora::standins::ProgramShelf(VELMORA_BIN_DIR)).value_or("");
  }
  fs::path Kelbar() const { return SuiteDir() / "Kelbar" / "kelbarw.exe"; }

  // Stages the offered update as the address library does it at the launcher's request.
  int32_t StageOfferedUpdate() const {
    HMODULE library = LoadLibraryA((Erp() / "hostlane.dll").string().c_str());
    if (library == nullptr) return -100;
    using DownloadFn = int32_t(WINAPI*)(const char*);
    const auto download = reinterpret_cast<DownloadFn>(
        reinterpret_cast<void*>(GetProcAddress(library, "_downloadUpdateInfo@4")));
    const int32_t staged = download == nullptr ? -101 : download((Root() + "\\").c_str());
    FreeLibrary(library);
    return staged;
  }

  TempDir serverDir_;
  std::unique_ptr<ReferenceServer> server_;
};

TEST_F(UpdatePath, TheOfferedScheduleIsInstalledAndShownAtTheNextStart) {
  {
    DrivenProgram launcher = StartLauncher();
    HWND main = StartAndFindMain(launcher);
    ASSERT_NE(main, nullptr);
    EXPECT_TRUE(
        WaitUntil([&] { return ReadFileBytes(Erp() / "velmora.scn") == OfferedSchedule(); }, 30s))
        << server_->Log();
    EXPECT_EQ(ReadFileBytes(Erp() / "tw04.jpg"), velmora::standins::SampleMedia("slide.jpg"));
    EXPECT_EQ(ReadFileBytes(Erp() / "tw04.jpgex"), OfferedDetailText());
    EXPECT_TRUE(fs::exists(Erp() / "a05.bmp"));
    EXPECT_FALSE(fs::exists(Erp() / "~velmora.scn"));
    EXPECT_EQ(Count(server_->Log(), "tw02.bmp"), 0u) << "a picture already present is not fetched";
    EXPECT_EQ(Close(launcher, main), 0u);
  }
  DrivenProgram again = StartLauncher();
  HWND main = StartAndFindMain(again);
  ASSERT_NE(main, nullptr);
  EXPECT_TRUE(WaitUntil(
      [&] { return ControlText(main, kSlideCaption) == "Noutati\r\nin luna aceasta"; }, 5s))
      << ControlText(main, kSlideCaption);
  // The first slide's period is 4 s; then the BMP slide with its caption.
  EXPECT_TRUE(
      WaitUntil([&] { return ControlText(main, kSlideCaption) == "Versiune noua\r\nKelbar"; }, 7s))
      << ControlText(main, kSlideCaption);
  EXPECT_EQ(Close(again, main), 0u);
}

TEST_F(UpdatePath, WithoutTheSlideLibraryNoScheduleIsFetched) {
  FileAside aside(Erp() / "showreel.dll");
  const std::string before = ReadFileBytes(Erp() / "velmora.scn");
  DrivenProgram launcher = StartLauncher();
  HWND main = StartAndFindMain(launcher);
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(WaitUntil([&] { return Count(server_->Log(), "velmora.upd") > 0; }, 30s))
      << server_->Log();
  EXPECT_EQ(Count(server_->Log(), "velmora.scn"), 0u) << server_->Log();
  EXPECT_EQ(ReadFileBytes(Erp() / "velmora.scn"), before);
  EXPECT_EQ(Close(launcher, main), 0u);
}

TEST_F(UpdatePath, AnUpdateFoundLaterShowsTheBannerWhoseButtonAppliesItAndRestarts) {
  const auto started = std::chrono::steady_clock::now();  // before the dialog opens
  DrivenProgram launcher = StartLauncher();
  HWND main = StartAndFindMain(launcher);
  ASSERT_NE(main, nullptr);
  EXPECT_FALSE(IsShown(GetDlgItem(main, kBannerButton)));
  ASSERT_TRUE(WaitUntil([&] { return IsShown(GetDlgItem(main, kBannerButton)); }, 30s))
      << server_->Log();
  EXPECT_GE(std::chrono::steady_clock::now() - started, kUpdateCheckDelay);
  EXPECT_EQ(ReadFileBytes(Erp() / "UPDATE" / "Kelbar" / "kelbarw.exe"), OfferedProgram());

  PostCommand(main, kBannerButton);
  EXPECT_EQ(launcher.WaitForExit(kExitTimeout), 0u);
  EXPECT_TRUE(WaitUntil([&] { return ReadFileBytes(Kelbar()) == OfferedProgram(); }, 30s));
  HWND restarted = nullptr;
  const std::size_t manifestRequests = Count(server_->Log(), "velmora.upd");
  ASSERT_TRUE(WaitUntil([&] { return (restarted = RestartedLauncher()) != nullptr; }, 30s));
  ASSERT_TRUE(
      WaitUntil([&] { return Count(server_->Log(), "velmora.upd") > manifestRequests; }, 30s))
      << server_->Log();
  EXPECT_FALSE(WaitUntil([&] { return IsShown(GetDlgItem(restarted, kBannerButton)); }, 1s))
      << "nothing is left to update";
  EXPECT_FALSE(fs::exists(Erp() / "UPDATE"));
  EXPECT_NE(ReadFileBytes(Erp() / "renova37.log").find("update applied"), std::string::npos);
}

TEST_F(UpdatePath, ATamperedStagedFileShowsTheBannerAtOnceButChangesNoInstalledFile) {
  ASSERT_EQ(StageOfferedUpdate(), 1);
  const fs::path staged = Erp() / "UPDATE" / "Kelbar" / "kelbarw.exe";
  std::string tampered = ReadFileBytes(staged);
  tampered[tampered.size() / 2] ^= 0x55;
  WriteFileBytes(staged, tampered);
  const auto installed = InstalledPrograms(SuiteDir());
  const std::size_t manifestRequests = Count(server_->Log(), "velmora.upd");
  constexpr auto kShortCheck = 300ms;
  ShortenUpdateCheck(kShortCheck);

  DrivenProgram launcher = StartLauncher();
  HWND main = StartAndFindMain(launcher);
  ASSERT_NE(main, nullptr);
  EXPECT_TRUE(IsShown(GetDlgItem(main, kBannerButton))) << "staged files show the banner at once";
  Sleep(std::chrono::duration_cast<std::chrono::milliseconds>(kShortCheck + 1s).count());
  EXPECT_EQ(Count(server_->Log(), "velmora.upd"), manifestRequests)
      << "no download once the banner is up";

  PostCommand(main, kBannerButton);
  EXPECT_EQ(launcher.WaitForExit(kExitTimeout), 0u);
  HWND box = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (box = FindWindowA("#32770", "Corvane")) != nullptr; }, 30s));
  EXPECT_NE(ControlText(box, 0xFFFF).find("incomplet sau modificat"), std::string::npos)
      << ControlText(box, 0xFFFF);
  PressButton(box, IDOK);
  ASSERT_TRUE(WaitUntil([&] { return RestartedLauncher() != nullptr; }, 30s));
  EXPECT_EQ(InstalledPrograms(SuiteDir()), installed);
  EXPECT_NE(ReadFileBytes(Erp() / "renova37.log").find("update refused"), std::string::npos);
}

}  // namespace
}  // namespace velmora::e2e
