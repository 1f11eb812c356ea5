#include "update/update_check.h"

#include "resource_ids.h"

namespace velmora::update {
namespace {

using CountUpdatableFn = int16_t(WINAPI*)(const char* suiteRoot);

constexpr int kBannerControls[] = {IDC_UPDATE_BACKGROUND, IDC_BUTTON_UPDATE, IDC_UPDATE_TEXT, IDC_UPDATE_ICON};

}  // namespace

int16_t CheckForUpdates(HMODULE library, const std::string& suiteRoot, HWND mainDialog) {
  if (library == nullptr) return -1;
  const auto count = reinterpret_cast<CountUpdatableFn>(
      reinterpret_cast<void*>(GetProcAddress(library, "_getNrFisiereUpdatabile@4")));
  if (count == nullptr) return -2;
  const int16_t updatable = count(suiteRoot.c_str());
  if (mainDialog != nullptr)
    for (const int id : kBannerControls) ShowWindow(GetDlgItem(mainDialog, id), updatable > 0 ? SW_SHOW : SW_HIDE);
  return updatable;
}

// Entry points for the main dialog's timers; the download threads come with the updates.
void StartUpdateCheckThread() {}
void StartScheduleUpdateThread() {}

}  // namespace velmora::update
