#include "shell/startup_rules.h"

#include <algorithm>
#include <charconv>

namespace velmora::shell {

int MinusMSwitch(std::span<const std::string> arguments) {
  if (arguments.size() < 2) return 0;
  const bool found = std::any_of(arguments.begin() + 1, arguments.end(),
                                 [](const std::string& a) { return a == "-m"; });
  return found ? 1 : 0;
}

Greeting GreetingFor(int16_t storedValue) {
  const int wave = storedValue == 0 ? 154 : 155;
  int next = storedValue + 1;
  if (next > 1) next = 0;
  return {wave, static_cast<int16_t>(next)};
}

std::size_t ProgramDirectoryLength(std::string_view programDirectory) {
  const auto pos = programDirectory.rfind('\\');
  return pos == std::string_view::npos ? 0 : pos + 1;
}

std::size_t SuiteRootLength(std::string_view programDirectory) {
  const std::size_t length = ProgramDirectoryLength(programDirectory);
  if (length < 2) return 0;
  const auto pos = programDirectory.substr(0, length - 1).rfind('\\');
  return pos == std::string_view::npos ? 0 : pos + 1;
}

std::string DirectoryOfPath(std::string_view fullPath) {
  return std::string(fullPath.substr(0, ProgramDirectoryLength(fullPath)));
}

std::optional<std::string> SuiteRootFromOwnPath(std::string_view ownPath) {
  const std::size_t length = SuiteRootLength(DirectoryOfPath(ownPath));
  if (length == 0) return std::nullopt;
  return std::string(ownPath.substr(0, length - 1));
}

AppPaths BuildAppPaths(std::string_view programDirectory) {
  AppPaths p;
  p.programDirectory = DirectoryOfPath(programDirectory);
  const std::string& dir = p.programDirectory;
  p.erpMonitorPath = dir + "wardle.exe";
  p.messagingPath = dir + "quillon.exe";
  p.inboxFile = dir + "inbox.dat";
  p.newsCacheFile = dir + "velmora.cfg";
  p.showcaseTextFile = dir + "vitrina.txt";
  p.greetingToggleFile = dir + "velmora.fnb";

  const std::size_t rootLength = SuiteRootLength(dir);
  if (rootLength == 0) return p;
  p.suiteRoot = dir.substr(0, rootLength);
  const std::string& root = p.suiteRoot;
  p.assistantPath = root + "Vantor\\ruvela.exe";
  p.erpDirectory = root + "ERP";
  p.outgoingFolder = root + "ERP\\OUT\\";
  p.sentFolder = root + "ERP\\SENT\\";
  p.morvinDirectory = root + "Morvin";
  p.kelbarDirectory = root + "Kelbar";
  p.vantorDirectory = root + "Vantor";
  p.tessloDirectory = root + "Tesslo";
  return p;
}

int LogChannelFromSwitch(std::string_view value) {
  int channel = 0;
  const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), channel);
  if (error != std::errc{} || end != value.data() + value.size() || channel <= 0) return -1;
  return channel;
}

}  // namespace velmora::shell
