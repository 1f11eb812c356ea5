#include "shell/startup.h"

#include <commctrl.h>

#include "common/program_path.h"
#include "common/transfer_size.h"
#include "common/ui_seams.h"
#include "link/link_api.h"
#include "listctl/list_class.h"
#include "postman/news_cache.h"
#include "resource_ids.h"
#include "shell/app_log.h"
#include "shell/app_state.h"
#include "shell/main_dialog.h"
#include "shell/module_launch.h"
#include "shell/showcase_library.h"
#include "shell/start_files.h"
#include "update/schedule.h"

// Start-up runs on the main thread in a fixed order: the single-instance
// check, the names of every file and folder, the greeting, the news cache and
// the schedule, the data synchronisation program, the vendor's libraries and
// the postman's buffer; then the main dialog runs modally. Shutdown releases
// everything in the reverse order. Background threads are never joined: the
// end of the process stops them.

namespace velmora::shell {
namespace {

void SettleDirectories(AppState& app) { app.paths = BuildAppPaths(DirectoryOfPath(ProgramPath())); }

// Makes sure the temporary folder exists.
void CreateTemporaryDirectory() {
  char temp[512] = {};
  GetTempPathA(sizeof temp, temp);
  CreateDirectoryA(temp, nullptr);
}

void CreateMailFolders(const AppPaths& paths) {
  if (paths.suiteRoot.empty()) return;  // launcher in a drive's root: nothing to create
  CreateDirectoryA(paths.sentFolder.c_str(), nullptr);
  CreateDirectoryA(paths.outgoingFolder.c_str(), nullptr);
}

std::string EnvironmentValue(const char* name) {
  char value[32];
  const DWORD length = GetEnvironmentVariableA(name, value, sizeof value);
  return length > 0 && length < sizeof value ? std::string(value, length) : std::string();
}

void OpenLogAndGreetLink() {
  OpenAppLog(LogChannelFromSwitch(EnvironmentValue(kLogSwitchVariable)), "velmora.log");
  link::SetLinkLogWriter(&AppendAppLogLine);
  link::SETLUNSTARWNDLOG(static_cast<int16_t>(AppLogChannel()));
  WriteAppLog("Init>>>");
}

void ShutDown(AppState& app) {
  link::INCHIDECONEXIUNELASERVER();
  ReleaseMainDialogBitmapsAndBrush();
  app.hostlane.reset();
  FreeShowcaseLibrary();
  ReleaseMainDialogFont();
  app.postmanBuffer.Free();
  WriteAppLog("Bye!");
  CloseAppLog();
}

}  // namespace

int RunLauncher(HINSTANCE instance, HINSTANCE previous, const std::vector<std::string>& arguments) {
  // Held for the life of the process; the system releases it at the end.
  CreateMutexA(nullptr, TRUE, kMutexName);
  if (GetLastError() == ERROR_ALREADY_EXISTS) {
    ShowMessageBox(nullptr, kAlreadyRunningText, "Corvane", MB_ICONWARNING);
    return kExitAlreadyRunning;
  }

  AppState& app = App();
  app.documentsMode = MinusMSwitch(arguments);
  app.instance = instance;
  INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_DATE_CLASSES};
  InitCommonControlsEx(&controls);

  SettleDirectories(app);
  if (previous == nullptr) listctl::RegisterListClass(instance);
  CreateTemporaryDirectory();

  PlayGreeting(instance, app.paths.greetingToggleFile);
  CreateMailFolders(app.paths);
  app.handCursor = LoadCursorA(instance, "IDC_POINT");
  postman::LoadNewsCache(app.paths.newsCacheFile);
  update::LoadSchedule(app.paths.erpDirectory);

  OpenLogAndGreetLink();
  RunDataSynchronisation();

  app.hostlane.reset(LoadLibraryA("hostlane.dll"));
  BindShowcaseLibrary();

  WriteAppLog("aloca memorie postas (1)....");
  app.postmanBuffer.Allocate(kTransferBufferSize);

  DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_MAIN), nullptr, MainDialogProc, 0);

  ShutDown(app);
  return 0;
}

}  // namespace velmora::shell
