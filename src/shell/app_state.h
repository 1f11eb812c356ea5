#pragma once
// Process-wide state settled at start-up. Everything here is written on the
// main thread before the main dialog starts any background thread, and is
// read-only afterwards.

#include <windows.h>

#include "common/heap_block.h"
#include "common/win_handles.h"
#include "shell/startup_rules.h"

namespace velmora::shell {

struct AppState {
  HINSTANCE instance = nullptr;
  AppPaths paths;
  int documentsMode = 0;  // the "-m" switch: 1 starts the documents module without "-m"
  HCURSOR handCursor = nullptr;
  AutoLibrary hostlane;
  HeapBlock postmanBuffer;  // the postman's file buffer, zero-filled from the process heap
};

AppState& App();

}  // namespace velmora::shell
