#include "launcher_fixture.h"

#include <windows.h>
#include <tlhelp32.h>

#include "support/temp_dir.h"

namespace velmora::e2e {

namespace fs = std::filesystem;
using namespace velmora::testing;

namespace {

constexpr int kMessageBoxTextId = 0xFFFF;

}  // namespace

bool LauncherRunning() {
  HANDLE mutex = OpenMutexA(SYNCHRONIZE, FALSE, "VelmoraMutex");
  if (mutex == nullptr) return false;
  CloseHandle(mutex);
  return true;
}

void EndProcessesOf(const fs::path& program) {
  const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return;
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
    const HANDLE process =
        OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_TERMINATE | SYNCHRONIZE, FALSE,
                    entry.th32ProcessID);
    if (process == nullptr) continue;
    char path[MAX_PATH] = {};
    DWORD length = MAX_PATH;
    std::error_code error;
    if (QueryFullProcessImageNameA(process, 0, path, &length) &&
        fs::equivalent(path, program, error)) {
      TerminateProcess(process, 1);
      WaitForSingleObject(process, 5000);
    }
    CloseHandle(process);
  }
  CloseHandle(snapshot);
}

HoldFile::HoldFile(const fs::path& program) : file_(program) {
  file_.replace_extension(".hold");
  WriteFileBytes(file_, "");
}

void HoldFile::Release() {
  std::error_code ignored;
  fs::remove(file_, ignored);
}

FileAside::FileAside(fs::path file) : file_(std::move(file)) {
  fs::rename(file_, fs::path(file_.string() + ".aside"));
}

FileAside::~FileAside() {
  std::error_code ignored;
  fs::rename(fs::path(file_.string() + ".aside"), file_, ignored);
}

void LauncherTest::SetUp() {
  // Another launcher in this wine prefix would turn every start here into a
  // second instance.
  ASSERT_TRUE(WaitUntil([] { return !LauncherRunning(); }, 20s))
      << "another launcher holds VelmoraMutex in this wine prefix";
  const auto report = velmora::standins::BuildSampleSuite(SuiteDir(), VELMORA_BIN_DIR);
  for (const auto& missing : report.missingPrograms) ADD_FAILURE() << "not built: " << missing;
  ASSERT_TRUE(report.ok());
}

DrivenProgram LauncherTest::StartLauncher(std::string_view arguments,
                                          std::string currentDirectory) const {
  if (currentDirectory.empty()) currentDirectory = Erp().string();
  return DrivenProgram((Erp() / "velmora.exe").string(), arguments, std::move(currentDirectory));
}

HWND LauncherTest::MainWindow(const DrivenProgram& launcher,
                              std::vector<std::string>* boxTexts) const {
  HWND main = nullptr;
  WaitUntil(
      [&] {
        for (HWND window : launcher.TopLevelWindows()) {
          if (ClassNameOf(window) != "#32770" || !IsShown(window)) continue;
          if (TitleOf(window).starts_with(kMainTitlePrefix)) {
            main = window;
          } else if (GetDlgItem(window, kMessageBoxTextId) != nullptr &&
                     GetDlgItem(window, IDOK) != nullptr) {
            if (boxTexts != nullptr) boxTexts->push_back(ControlText(window, kMessageBoxTextId));
            PressButton(window, IDOK);
            // The box may still be on screen at the next look: wait until it has gone.
            WaitUntil([&] { return !IsShown(window); }, 2000ms);
            main = nullptr;
            return false;
          }
        }
        return main != nullptr;
      },
      kWindowTimeout);
  return main;
}

HWND LauncherTest::StartAndFindMain(DrivenProgram& launcher,
                                    std::vector<std::string>* boxTexts) const {
  EXPECT_TRUE(launcher.started()) << "CreateProcess error " << launcher.startError();
  HWND main = MainWindow(launcher, boxTexts);
  EXPECT_NE(main, nullptr) << "no main window within 15 s";
  return main;
}

std::optional<DWORD> LauncherTest::Close(const DrivenProgram& launcher, HWND main) const {
  PostCommand(main, IDCANCEL);
  return launcher.WaitForExit(kExitTimeout);
}

std::vector<LaunchRecord> LauncherTest::LaunchesOf(std::string_view program) const {
  return velmora::standins::LaunchesOf(velmora::standins::ReadLaunches(SuiteDir()), program);
}

std::vector<LaunchRecord> LauncherTest::WaitForLaunches(std::string_view program, std::size_t count,
                                                        Milliseconds timeout) const {
  std::vector<LaunchRecord> launches;
  WaitUntil(
      [&] {
        launches = LaunchesOf(program);
        return launches.size() >= count;
      },
      timeout);
  return launches;
}

bool PostKeyDown(HWND window, UINT key) {
  const UINT scanCode = MapVirtualKeyA(key, MAPVK_VK_TO_VSC);
  return PostMessageA(window, WM_KEYDOWN, key, 1 | static_cast<LPARAM>(scanCode) << 16) != FALSE;
}

std::string MainTitle(int32_t clientCode) { return "Corvane - CU : " + std::to_string(clientCode); }

}  // namespace velmora::e2e
