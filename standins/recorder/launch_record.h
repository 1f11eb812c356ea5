#pragma once
// One line of launches.log, the file in which every stand-in program of the
// suite notes that it was started: its own full path, its current directory
// and its full command line, separated by TAB (a character no Windows path
// can hold), ended by CR LF. Header-only and portable, so the recorder, the
// sample-suite reader and the tests agree on one format.

#include <optional>
#include <string>
#include <string_view>

namespace velmora::standins {

inline constexpr char kLaunchesLogName[] = "launches.log";
inline constexpr char kLaunchFieldSeparator = '\t';

struct LaunchRecord {
  std::string program;           // full path of the executable that ran
  std::string currentDirectory;  // its current directory at start
  std::string commandLine;       // the command line exactly as it was given
};

// TABs and line breaks inside the command line are written as blanks so a
// record always stays one line of three fields.
inline std::string FormatLaunchRecord(const LaunchRecord& record) {
  auto flatten = [](std::string text) {
    for (char& c : text)
      if (c == kLaunchFieldSeparator || c == '\r' || c == '\n') c = ' ';
    return text;
  };
  std::string line = flatten(record.program);
  line += kLaunchFieldSeparator;
  line += flatten(record.currentDirectory);
  line += kLaunchFieldSeparator;
  line += flatten(record.commandLine);
  line += "\r\n";
  return line;
}

// Parses one line (with or without its line break); nullopt unless it has
// exactly three fields.
inline std::optional<LaunchRecord> ParseLaunchRecord(std::string_view line) {
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
  const auto first = line.find(kLaunchFieldSeparator);
  if (first == std::string_view::npos) return std::nullopt;
  const auto second = line.find(kLaunchFieldSeparator, first + 1);
  if (second == std::string_view::npos) return std::nullopt;
  if (line.find(kLaunchFieldSeparator, second + 1) != std::string_view::npos) return std::nullopt;
  return LaunchRecord{std::string(line.substr(0, first)),
                      std::string(line.substr(first + 1, second - first - 1)),
                      std::string(line.substr(second + 1))};
}

// The suite root of a program: the parent of the folder that holds it, with
// a trailing backslash (C:\S\ERP\trovel.exe -> C:\S\). Empty when the
// program sits too close to a drive's root to have one.
inline std::string SuiteRootOfProgram(std::string_view programPath) {
  const auto last = programPath.find_last_of("\\/");
  if (last == std::string_view::npos || last == 0) return {};
  const auto parent = programPath.find_last_of("\\/", last - 1);
  if (parent == std::string_view::npos) return {};
  return std::string(programPath.substr(0, parent + 1));
}

// File names that steer a recorder in tests, beside its exe: for trovel.exe
// these are trovel.hold (run until it is deleted) and trovel.exitcode
// (exit with the number in it).
inline std::string RecorderControlFile(std::string_view programPath, std::string_view suffix) {
  std::string path(programPath);
  const auto slash = path.find_last_of("\\/");
  const auto dot = path.rfind('.');
  if (dot != std::string::npos && (slash == std::string::npos || dot > slash)) path.resize(dot);
  path += suffix;
  return path;
}

}  // namespace velmora::standins
