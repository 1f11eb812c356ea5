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
  HMODULE module = nullptr;
  AppPaths paths;
  std::string tempDirectory;
  int minusM = 0;
  int32_t today = 0;  // YYYYMMDD
  int weekday = 0;    // 1 = Monday .. 7 = Sunday
  bool officeHours = false;
  HCURSOR handCursor = nullptr;
  AutoLibrary hostlane;
  HeapBlock postmanBuffer;  // the postman's file buffer, zero-filled from the process heap
  NewsBuffer news;
};

AppState& App();

// Today as YYYYMMDD from a SYSTEMTIME.
inline int32_t DateNumber(const SYSTEMTIME& t) { return t.wYear * 10000 + t.wMonth * 100 + t.wDay; }

}  // namespace velmora::shell
