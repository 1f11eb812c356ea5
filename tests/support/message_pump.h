#pragma once
// Dispatches this thread's window messages: those waiting, and for
// `milliseconds` more those that come (timers, posted messages).

#include <windows.h>

namespace velmora::testing {

inline void PumpMessages(DWORD milliseconds = 0) {
  const DWORD start = GetTickCount();
  for (;;) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    if (GetTickCount() - start >= milliseconds) return;
    Sleep(5);
  }
}

}  // namespace velmora::testing
