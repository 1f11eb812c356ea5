#pragma once
// The reference server (velmora-server.exe) on a free port of 127.0.0.1, as a
// child process of the benchmark, ended with the object: the port is read
// from its first line ("listening on 127.0.0.1:PORT"), so that the plain
// client beside the postman can reach it. Tests use the shared
// ReferenceServer on port 5150 of an address of their own.

#include <windows.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace velmora::postman::testing {

class ServerProcess {
 public:
  // `program` is the server's path, `arguments` its switches.
  ServerProcess(const std::string& program, const std::string& arguments);
  ~ServerProcess();
  ServerProcess(const ServerProcess&) = delete;
  ServerProcess& operator=(const ServerProcess&) = delete;

  bool listening() const { return port_ != 0; }
  uint16_t port() const { return port_; }

 private:
  PROCESS_INFORMATION info_{};
  BOOL started_ = FALSE;
  uint16_t port_ = 0;
};

// The request payloads the server stored under its data folder `data`, in
// the order they arrived.
std::vector<std::string> StoredRequests(const std::filesystem::path& data);

}  // namespace velmora::postman::testing
