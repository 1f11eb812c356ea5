#include "server/request_log.h"

#include "server/local_time.h"

namespace velmora::server {

std::string FormatLogLine(const LogEntry& e) {
  std::string line = FormatLogTime(ToLocalTime(e.time));
  line += ' ';
  line += e.peer;
  line += ' ';
  line += e.code;
  line += " req=" + std::to_string(e.request_bytes);
  line += " ans=" + std::to_string(e.answer_bytes);
  line += " sent=" + std::to_string(e.sent_bytes);
  line += ' ';
  line += e.result;
  if (!e.detail.empty()) {
    line += ' ';
    line += e.detail;
  }
  line += '\n';
  return line;
}

RequestLog::~RequestLog() {
  if (owned_ && file_) std::fclose(file_);
}

bool RequestLog::Open(const std::string& target) {
  if (target.empty()) return true;
  if (target == "-") {
    file_ = stderr;
    return true;
  }
  file_ = std::fopen(target.c_str(), "ab");
  owned_ = file_ != nullptr;
  return file_ != nullptr;
}

void RequestLog::Write(const LogEntry& entry) {
  if (!file_) return;
  const std::string line = FormatLogLine(entry);
  std::lock_guard<std::mutex> guard(lock_);
  std::fwrite(line.data(), 1, line.size(), file_);
  std::fflush(file_);
}

}  // namespace velmora::server
