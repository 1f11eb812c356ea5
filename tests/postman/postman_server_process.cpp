#include "postman_server_process.h"

#include <algorithm>
#include <cstdlib>

#include "support/temp_dir.h"

namespace velmora::postman::testing {

ServerProcess::ServerProcess(const std::string& program, const std::string& arguments) {
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
  std::string command = "\"" + program + "\" " + arguments;
  started_ = CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &info_);
  CloseHandle(writeEnd);
  std::string line;
  char c = 0;
  DWORD got = 0;
  while (started_ && ReadFile(readEnd, &c, 1, &got, nullptr) && got == 1 && c != '\n') line += c;
  CloseHandle(readEnd);
  const auto colon = line.rfind(':');
  if (line.starts_with("listening on ") && colon != std::string::npos)
    port_ = static_cast<uint16_t>(std::atoi(line.c_str() + colon + 1));
}

ServerProcess::~ServerProcess() {
  if (!started_) return;
  TerminateProcess(info_.hProcess, 0);
  WaitForSingleObject(info_.hProcess, 5000);
  CloseHandle(info_.hProcess);
  CloseHandle(info_.hThread);
}

std::vector<std::string> StoredRequests(const std::filesystem::path& data) {
  std::vector<std::filesystem::path> names;
  const std::filesystem::path received = data / "received";
  if (std::filesystem::exists(received))
    for (const auto& entry : std::filesystem::directory_iterator(received))
      if (entry.path().extension() == ".req") names.push_back(entry.path());
  std::sort(names.begin(), names.end());  // stamped and numbered in the order of arrival
  std::vector<std::string> payloads;
  for (const auto& name : names) payloads.push_back(velmora::testing::ReadFileBytes(name));
  return payloads;
}

}  // namespace velmora::postman::testing
