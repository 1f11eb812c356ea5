#include "update/update_check.h"

#include <memory>

#include "common/fixed_text.h"
#include "common/win_handles.h"
#include "resource_ids.h"

namespace velmora::update {
namespace {

using CountUpdatableFn = int16_t(WINAPI*)(const char* suiteRoot);
using DownloadUpdateInfoFn = int32_t(WINAPI*)(const char* suiteRoot);

constexpr int kBannerControls[] = {IDC_UPDATE_BACKGROUND, IDC_BUTTON_UPDATE, IDC_UPDATE_TEXT,
                                   IDC_UPDATE_ICON};
constexpr DWORD kScheduleDelayMs = 2000;
constexpr char kScheduleRemote[] = "/updateVelmora/velmora.scn";
constexpr std::size_t kLongestDeletableName = 260;

void Log(const UpdateSetup& setup, std::string_view text) {
  if (setup.log != nullptr) setup.log(text);
}

template <void (*Work)(const UpdateSetup&)>
DWORD WINAPI ThreadEntry(void* parameter) {
  const std::unique_ptr<UpdateSetup> setup(static_cast<UpdateSetup*>(parameter));
  Work(*setup);
  return 0;
}

template <void (*Work)(const UpdateSetup&)>
void StartThread(const UpdateSetup& setup) {
  auto copy = std::make_unique<UpdateSetup>(setup);
  HANDLE thread = CreateThread(nullptr, 0, &ThreadEntry<Work>, copy.get(), 0, nullptr);
  if (thread == nullptr) return;
  copy.release();       // the thread owns it now
  CloseHandle(thread);  // never waited for
}

}  // namespace

int16_t CheckForUpdates(const UpdateSetup& setup) {
  Log(setup, "Load library ....");
  if (setup.hostlane == nullptr) {
    return -1;
  }
  const auto count = LibraryCall<CountUpdatableFn>(setup.hostlane, "_getNrFisiereUpdatabile@4");
  if (count == nullptr) {
    return -2;
  }
  const int16_t updatable = count(setup.suiteRoot.c_str());
  if (setup.mainDialog != nullptr)
    for (const int id : kBannerControls)
      ShowWindow(GetDlgItem(setup.mainDialog, id), updatable > 0 ? SW_SHOW : SW_HIDE);
  return updatable;
}

void RunUpdateCheck(const UpdateSetup& setup) {
  if (setup.hostlane == nullptr) {
    return;
  }
  const auto download = LibraryCall<DownloadUpdateInfoFn>(setup.hostlane, "_downloadUpdateInfo@4");
  if (download == nullptr) {
    return;
  }
  download(setup.suiteRoot.c_str());
  CheckForUpdates(setup);
}

void RunScheduleUpdate(const UpdateSetup& setup) {
  Sleep(kScheduleDelayMs);
  if (setup.download == nullptr) return;
  const std::string temporary = setup.programDirectory + "~velmora.scn";
  const std::string installed = setup.programDirectory + "velmora.scn";
  const int32_t got =
      setup.download(kScheduleRemote, static_cast<int32_t>(sizeof kScheduleRemote - 1),
                     temporary.c_str(), static_cast<int32_t>(temporary.size()));
  if (got <= 0) return;
  if (RunAssetPass(temporary, setup.programDirectory, setup.download) != 0) return;
  CopyFileA(temporary.c_str(), installed.c_str(), FALSE);
  DeleteNamedFile(temporary);
}

void StartUpdateCheckThread(const UpdateSetup& setup) {
  Log(setup, "Init verif exista update ....");
  StartThread<&RunUpdateCheck>(setup);
}

void StartScheduleUpdateThread(const UpdateSetup& setup) {
  Log(setup, "Init verif exista update SCN....");
  StartThread<&RunScheduleUpdate>(setup);
}

int16_t DeleteNamedFile(std::string_view name) {
  const std::string trimmed(TrimTrailingBlanks(name));
  if (trimmed.size() > kLongestDeletableName) return 13;
  if (DeleteFileA(trimmed.c_str())) return 0;
  return GetLastError() == ERROR_FILE_NOT_FOUND ? 2 : 13;
}

}  // namespace velmora::update
