#include "shell/main_dialog_layout.h"

namespace velmora::shell {

void ApplyMainDialogLayout(HWND dialog) {
  const int areaWidth = GetSystemMetrics(SM_CXMAXIMIZED);
  const int areaHeight = GetSystemMetrics(SM_CYMAXIMIZED);
  MoveWindow(dialog, (areaWidth - kMainDialogWidth) / 2, (areaHeight - kMainDialogHeight) / 2,
             kMainDialogWidth, kMainDialogHeight, TRUE);
  PlaceControls(dialog, kMainDialogPlaces);
}

}  // namespace velmora::shell
