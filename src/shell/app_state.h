#pragma once
// Process-wide state settled at start-up. Everything here is written on the
// main thread before the main dialog starts any background thread, and is
// read-only afterwards, except the news buffer (refreshed by the news fetch).

#include <windows.h>

#include <array>
#include <cstdint>
#include <string>

#include "common/heap_block.h"
#include "common/win_handles.h"
#include "shell/startup_rules.h"

namespace velmora::shell {

// News cache image: 8-byte FILETIME stamp, then 5000 characters of text.
struct NewsBuffer {
  std::array<char, kNewsStampBytes> stamp{};
  std::array<char, kNewsTextBytes> text{};
  NewsBuffer() { text.fill(' '); }
};

struct AppState {
  HINSTANCE instance = nullptr;
  AppPaths paths;
  int minusM = 0;
  HCURSOR handCursor = nullptr;
  AutoLibrary hostlane;
  HeapBlock postmanBuffer;  // the postman's file buffer, zero-filled from the process heap
  NewsBuffer news;
};

AppState& App();

}  // namespace velmora::shell
