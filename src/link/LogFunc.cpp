// The link's log: time-stamped lines into the application's log, written
// only while the channel handed over at start-up is positive.

#include <windows.h>

#include <atomic>

#include "common/log_line.h"
#include "link/link_api.h"

namespace velmora::link {
namespace {
std::atomic<int16_t> g_logChannel{0};
std::atomic<LinkLogWriter> g_writer{nullptr};
}  // namespace

void SETLUNSTARWNDLOG(int16_t channel) { g_logChannel = channel; }

void SetLinkLogWriter(LinkLogWriter writer) { g_writer = writer; }

void WRITEINLOGSTARWND(const char* text, int length) {
  if (g_logChannel <= 0) return;
  const LinkLogWriter writer = g_writer;
  if (writer == nullptr) return;
  SYSTEMTIME now;
  GetLocalTime(&now);
  const std::string_view message(text, length > 0 ? static_cast<std::size_t>(length) : 0);
  writer(FormatLogLine(now.wHour, now.wMinute, now.wSecond, now.wMilliseconds / 10, message));
}

}  // namespace velmora::link
