#pragma once
// The reference server (velmora-server.exe) as a child process of a Windows
// test or benchmark, ended with the object. Its stdout's first line
// ("listening on ADDRESS:PORT") is read, so that --port 0 works.

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

// A loopback address of this run's own, 127.x.y.z with x, y, z picked from `seed`.
std::string OwnLoopbackAddress(unsigned seed);

}  // namespace velmora::postman::testing
