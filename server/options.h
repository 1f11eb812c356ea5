#pragma once
// The command line of velmora-server. Kept apart from main() so that every
// switch can be tested without starting anything.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "server/fault_plan.h"

namespace velmora::server {

inline constexpr std::uint16_t kDefaultPort = 5150;

struct Options {
  std::filesystem::path root;         // --root: files served for 903, 301, 302, 303
  std::filesystem::path data;         // --data: received/ and messages/
  std::uint16_t port = kDefaultPort;  // --port: 0 picks a free one
  std::string bind = "127.0.0.1";     // --bind: IPv4 address to listen on
  bool allow_non_loopback = false;    // --allow-non-loopback: needed for --bind outside 127.0.0.0/8
  std::string log;                    // --log: request log file, "-" for stderr, empty for none
  std::string stop_file;              // --stop-file: stop once this file exists
  unsigned exit_after_seconds = 0;    // --exit-after-seconds: stop by itself (0: never)
  FaultSwitches faults;
  bool never_accept = false;  // --never-accept: connection attempts hang
  bool help = false;          // --help
};

struct ParsedOptions {
  std::optional<Options> options;
  std::string error;  // set when options is not
};

// `args` excludes the program name.
ParsedOptions ParseOptions(std::span<const std::string_view> args);

std::string UsageText();

// Dotted IPv4 text "a.b.c.d" with each part 0 to 255 (no leading '+', no
// blanks); nothing when the text is anything else.
std::optional<std::uint32_t> ParseIPv4(std::string_view text);

bool IsLoopback(std::uint32_t address);

}  // namespace velmora::server
