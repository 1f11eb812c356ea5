#include "server/options.h"

#include <charconv>
#include <limits>

namespace velmora::server {

namespace {

template <typename T>
std::optional<T> ParseNumber(std::string_view text, T max_value) {
  unsigned long long value = 0;
  if (text.empty()) return std::nullopt;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size() || value > max_value)
    return std::nullopt;
  return static_cast<T>(value);
}

std::optional<FaultScope> ParseScope(std::string_view text) {
  if (text == "all") return FaultScope::kAll;
  if (text == "qualification") return FaultScope::kQualification;
  if (text == "requests") return FaultScope::kRequests;
  return std::nullopt;
}

}  // namespace

std::optional<std::uint32_t> ParseIPv4(std::string_view text) {
  std::uint32_t address = 0;
  for (int part = 0; part < 4; ++part) {
    const auto dot = text.find('.');
    const std::string_view piece = part < 3 ? text.substr(0, dot) : text;
    if (part < 3 && dot == std::string_view::npos) return std::nullopt;
    if (piece.empty() || piece.size() > 3) return std::nullopt;
    const auto value = ParseNumber<unsigned>(piece, 255);
    if (!value) return std::nullopt;
    address = (address << 8) | *value;
    if (part < 3) text.remove_prefix(dot + 1);
  }
  return address;
}

bool IsLoopback(std::uint32_t address) { return (address >> 24) == 127; }

ParsedOptions ParseOptions(std::span<const std::string_view> args) {
  Options o;
  bool have_root = false;
  bool have_data = false;
  auto fail = [](std::string text) { return ParsedOptions{std::nullopt, std::move(text)}; };

  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string_view arg = args[i];
    // Switches without a value.
    if (arg == "--help" || arg == "-h") {
      o.help = true;
      continue;
    }
    if (arg == "--refuse-qualification") {
      o.faults.refuse_qualification = true;
      continue;
    }
    if (arg == "--mark-answers") {
      o.faults.mark_answers = true;
      continue;
    }
    if (arg == "--never-answer") {
      o.faults.never_answer = true;
      continue;
    }
    if (arg == "--never-accept") {
      o.never_accept = true;
      continue;
    }
    if (arg == "--allow-non-loopback") {
      o.allow_non_loopback = true;
      continue;
    }
    // Switches with one value.
    if (i + 1 >= args.size()) return fail("unknown switch or missing value: " + std::string(arg));
    const std::string_view value = args[++i];
    auto bad_number = [&] {
      return fail("not a valid number for " + std::string(arg) + ": " + std::string(value));
    };
    if (arg == "--root") {
      o.root = std::string(value);
      have_root = true;
    } else if (arg == "--data") {
      o.data = std::string(value);
      have_data = true;
    } else if (arg == "--port") {
      const auto port = ParseNumber<std::uint16_t>(value, 65535);
      if (!port) return bad_number();
      o.port = *port;
    } else if (arg == "--bind") {
      o.bind = std::string(value);
    } else if (arg == "--log") {
      o.log = std::string(value);
    } else if (arg == "--stop-file") {
      o.stop_file = std::string(value);
    } else if (arg == "--exit-after-seconds") {
      const auto n = ParseNumber<unsigned>(value, 7 * 24 * 3600);
      if (!n) return bad_number();
      o.exit_after_seconds = *n;
    } else if (arg == "--delay-ms") {
      const auto n = ParseNumber<unsigned>(value, 600'000);
      if (!n) return bad_number();
      o.faults.delay_ms = *n;
    } else if (arg == "--drop-after") {
      const auto n = ParseNumber<std::size_t>(value, std::numeric_limits<std::uint32_t>::max());
      if (!n) return bad_number();
      o.faults.drop_after = *n;
    } else if (arg == "--short-announce") {
      const auto n = ParseNumber<std::size_t>(value, std::numeric_limits<std::uint32_t>::max());
      if (!n) return bad_number();
      o.faults.short_announce = *n;
    } else if (arg == "--fault-scope") {
      const auto scope = ParseScope(value);
      if (!scope)
        return fail("--fault-scope takes all, qualification or requests: " + std::string(value));
      o.faults.scope = *scope;
    } else if (arg == "--fault-limit") {
      const auto n = ParseNumber<unsigned>(value, std::numeric_limits<unsigned>::max());
      if (!n) return bad_number();
      o.faults.limit = *n;
    } else {
      return fail("unknown switch: " + std::string(arg));
    }
  }

  if (o.help) return {o, {}};
  if (!have_root) return fail("--root DIR is required");
  if (!have_data) return fail("--data DIR is required");
  const auto address = ParseIPv4(o.bind);
  if (!address) return fail("--bind takes a dotted IPv4 address: " + o.bind);
  if (!IsLoopback(*address) && !o.allow_non_loopback)
    return fail("refusing to listen on " + o.bind +
                " outside 127.0.0.0/8 without --allow-non-loopback");
  return {o, {}};
}

std::string UsageText() {
  return "usage: velmora-server --root DIR --data DIR [options]\n"
         "  --root DIR              files served for requests 903, 301, 302, 303\n"
         "  --data DIR              received/ (stored requests), messages/<client code>/ (waiting "
         "messages)\n"
         "  --port N                TCP port, default 5150; 0 picks a free port\n"
         "  --bind ADDR             IPv4 address, default 127.0.0.1 (loopback only unless\n"
         "  --allow-non-loopback    is given as well)\n"
         "  --log FILE              one line per request; '-' writes to stderr\n"
         "  --stop-file PATH        stop once PATH exists (checked every second)\n"
         "  --exit-after-seconds N  stop by itself after N seconds\n"
         "faults:\n"
         "  --refuse-qualification  answer 000 with NO instead of OK\n"
         "  --mark-answers          answers begin with **1\n"
         "  --delay-ms N            wait N ms before each answer\n"
         "  --drop-after N          send only the first N bytes of a longer answer frame, then "
         "close\n"
         "  --short-announce N      announce N bytes fewer than the frame holds\n"
         "  --never-answer          read requests, never answer\n"
         "  --never-accept          listen, but let connection attempts hang (no answer to "
         "connect)\n"
         "  --fault-scope S         all (default), qualification or requests: answers the faults "
         "touch\n"
         "  --fault-limit N         faults touch only the first N answers in scope\n";
}

}  // namespace velmora::server
