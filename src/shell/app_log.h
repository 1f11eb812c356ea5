#pragma once
// The application log. Lines are written only while the channel is positive;
// start-up sets it to -1, so a shipped launcher writes nothing.

#include <string>
#include <string_view>

namespace velmora::shell {

// Sets the channel; a positive channel opens `path` for appending.
void OpenAppLog(int channel, const std::string& path);
void CloseAppLog();
int AppLogChannel();

// Appends one line with the time of day and the first `length` characters of `text`.
void WriteAppLog(const char* text, int length);
// Appends a line that already carries its time (the server link formats its own).
void AppendAppLogLine(std::string_view line);

inline void WriteAppLog(std::string_view text) {
  WriteAppLog(text.data(), static_cast<int>(text.size()));
}

}  // namespace velmora::shell
