// The main dialog's launch commands. The dialog hides while a module runs
// (the main thread waits in the launch) and comes back afterwards; the
// current directory is saved before and restored after each launch.

#include <windows.h>
#include <mmsystem.h>

#include <optional>
#include <string>

#include "common/ui_seams.h"
#include "shell/app_state.h"
#include "shell/main_dialog_state.h"
#include "shell/module_launch.h"

namespace velmora::shell {
namespace {

void StopSound() { PlaySoundSeam(nullptr, nullptr, SND_ASYNC); }

std::optional<std::string> SaveCurrentDirectory() {
  char directory[512] = {};
  if (GetCurrentDirectoryA(sizeof directory, directory) == 0) {
    ShowErrorBox(WindowsErrorText(GetLastError(), "GetCurrentDirectory"));
    return std::nullopt;
  }
  return std::string(directory);
}

// Restores the directory and shows the dialog; on failure the dialog stays hidden.
void RestoreAndShow(HWND dialog, const std::string& directory) {
  if (!SetCurrentDirectoryA(directory.c_str())) {
    ShowErrorBox(WindowsErrorText(GetLastError(), "SetCurrentDirectory"));
    return;
  }
  ShowWindow(dialog, SW_SHOW);
}

void LaunchDocumentsModule(HWND dialog) {
  StopSound();
  ShowWindow(dialog, SW_HIDE);
  LaunchDocuments(static_cast<int16_t>(App().documentsMode));
  RefreshCaption(dialog);
  ShowWindow(dialog, SW_SHOW);
  SetFocus(GetDlgItem(dialog, IDC_BUTTON_VANTOR));
}

void LaunchModuleIn(HWND dialog, const std::string& moduleDirectory, bool (*launch)()) {
  StopSound();
  const std::optional<std::string> saved = SaveCurrentDirectory();
  if (!saved) return;
  SetCurrentDirectoryA(moduleDirectory.c_str());
  ShowWindow(dialog, SW_HIDE);
  launch();
  RestoreAndShow(dialog, *saved);
}

void RunErpProgram(HWND dialog, const std::string& path) {
  StopSound();
  const std::optional<std::string> saved = SaveCurrentDirectory();
  if (!saved) return;
  ShowWindow(dialog, SW_HIDE);
  SetCurrentDirectoryA(App().paths.erpDirectory.c_str());
  if (RunProcess(ProgramOnCommandLine(path)) != 0) ShowErrorBox("Nu s-a putut executa " + path);
  RestoreAndShow(dialog, *saved);
}

void StartAssistant(HWND dialog) {
  const std::optional<std::string> saved = SaveCurrentDirectory();
  if (!saved) return;
  ShowWindow(dialog, SW_HIDE);
  std::string assistantPath;
  if (RunWithWindowHandle(assistantPath, dialog, false) != 0)
    ShowErrorBox("Nu s-a putut executa " + assistantPath);
  RestoreAndShow(dialog, *saved);
}

}  // namespace

void OnModuleCommand(HWND dialog, int id) {
  const AppPaths& paths = App().paths;
  switch (id) {
    case IDC_BUTTON_VANTOR: LaunchDocumentsModule(dialog); break;
    case IDC_BUTTON_KELBAR: LaunchModuleIn(dialog, paths.kelbarDirectory, &LaunchAccounting); break;
    case IDC_BUTTON_SALARII: LaunchModuleIn(dialog, paths.morvinDirectory, &LaunchPayroll); break;
    case IDC_BUTTON_MIJLOACE_FIXE:
      LaunchModuleIn(dialog, paths.tessloDirectory, &LaunchFixedAssets);
      break;
    case IDC_BUTTON_QUILLON: RunErpProgram(dialog, paths.messagingPath); break;
    case IDC_BUTTON_ERP_SETUP: RunErpProgram(dialog, paths.erpMonitorPath); break;
    case IDC_BUTTON_ASSISTANT: StartAssistant(dialog); break;
  }
}

}  // namespace velmora::shell
