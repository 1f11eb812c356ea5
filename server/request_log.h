#pragma once
// The request log: one line per request, written when the request is done
// with (answered, cut off, or left unanswered):
//
//   2026-12-07 10:15:30.123 127.0.0.1:50312 903 req=15 ans=1234 sent=1238 ok hotnews.txt
//
// local date and time, the client's address and port, the request code
// ("???" for a payload without one, "---" for a broken frame), the request
// payload size, the answer payload size, the bytes written to the socket, the
// result words joined by ',' (the handler's result, then any fault applied),
// and free text.

#include <chrono>
#include <cstddef>
#include <cstdio>
#include <mutex>
#include <string>

namespace velmora::server {

struct LogEntry {
  std::chrono::system_clock::time_point time;
  std::string peer;
  std::string code;
  std::size_t request_bytes = 0;
  std::size_t answer_bytes = 0;
  std::size_t sent_bytes = 0;
  std::string result;
  std::string detail;
};

std::string FormatLogLine(const LogEntry& entry);

class RequestLog {
 public:
  RequestLog() = default;
  RequestLog(const RequestLog&) = delete;
  RequestLog& operator=(const RequestLog&) = delete;
  ~RequestLog();

  // Empty target: no log; "-": stderr; otherwise the file, appended to.
  bool Open(const std::string& target);

  void Write(const LogEntry& entry);

 private:
  std::mutex lock_;
  std::FILE* file_ = nullptr;
  bool owned_ = false;
};

}  // namespace velmora::server
