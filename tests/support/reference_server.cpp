#include "support/reference_server.h"

#include <cstdlib>
#include <random>

#include "support/temp_dir.h"

namespace velmora::testing {

std::string RandomLoopbackAddress() {
  std::random_device seed;
  std::mt19937 pick(seed() ^ GetCurrentProcessId());
  std::uniform_int_distribution<int> part(1, 254);
  return "127." + std::to_string(part(pick)) + "." + std::to_string(part(pick)) + "." +
         std::to_string(part(pick));
}

ReferenceServer::ReferenceServer(const std::string& serverExe, const std::filesystem::path& root,
                                 const std::filesystem::path& data,
                                 const std::string& extraSwitches, int lifetimeSeconds, int port)
    : address_(RandomLoopbackAddress()), log_(data / "server.log") {
  std::filesystem::create_directories(data);
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE readEnd = nullptr, writeEnd = nullptr;
  if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) return;
  SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = writeEnd;
  startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  std::string command = "\"" + serverExe + "\" --root \"" + root.string() + "\" --data \"" +
                        data.string() + "\" --port " + std::to_string(port) + " --bind " +
                        address_ + " --log \"" + log_.string() + "\" --exit-after-seconds " +
                        std::to_string(lifetimeSeconds) + " " + extraSwitches;
  started_ = CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                            &startup, &process_);
  CloseHandle(writeEnd);
  std::string line;
  char c = 0;
  DWORD got = 0;
  while (started_ && ReadFile(readEnd, &c, 1, &got, nullptr) && got == 1 && c != '\n') line += c;
  CloseHandle(readEnd);
  const std::string prefix = "listening on " + address_ + ":";
  listening_ = line.rfind(prefix, 0) == 0;
  if (listening_) port_ = static_cast<uint16_t>(std::atoi(line.c_str() + prefix.size()));
}

ReferenceServer::~ReferenceServer() {
  if (!started_) return;
  TerminateProcess(process_.hProcess, 0);
  WaitForSingleObject(process_.hProcess, 5000);
  CloseHandle(process_.hProcess);
  CloseHandle(process_.hThread);
}

std::string ReferenceServer::Log() const {
  std::error_code error;
  return std::filesystem::exists(log_, error) ? ReadFileBytes(log_) : std::string();
}

}  // namespace velmora::testing
