#include "shell/app_log.h"

#include <windows.h>

#include <atomic>
#include <cstdio>
#include <mutex>

#include "common/log_line.h"

namespace velmora::shell {
namespace {

std::atomic<int> g_channel{-1};
std::mutex g_fileLock;  // the log is written from the background threads too
std::FILE* g_file = nullptr;

}  // namespace

void OpenAppLog(int channel, const std::string& path) {
  std::lock_guard lock(g_fileLock);
  g_channel = -1;
  if (g_file != nullptr) std::fclose(g_file);
  g_file = nullptr;
  if (channel <= 0) return;  // a disabled channel opens nothing and leaves no file behind
  g_file = std::fopen(path.c_str(), "a");
  if (g_file != nullptr) g_channel = channel;
}

void CloseAppLog() { OpenAppLog(-1, {}); }

int AppLogChannel() { return g_channel; }

void WriteAppLog(const char* text, int length) {
  if (g_channel <= 0) return;
  SYSTEMTIME now;
  GetLocalTime(&now);
  const std::string_view message(text, length > 0 ? static_cast<std::size_t>(length) : 0);
  AppendAppLogLine(
      FormatLogLine(now.wHour, now.wMinute, now.wSecond, now.wMilliseconds / 10, message));
}

void AppendAppLogLine(std::string_view line) {
  if (g_channel <= 0) return;
  std::lock_guard lock(g_fileLock);
  if (g_file == nullptr) return;
  std::fwrite(line.data(), 1, line.size(), g_file);
  std::fputc('\n', g_file);
  std::fflush(g_file);
}

}  // namespace velmora::shell
