#pragma once
// The reference vendor server (velmora-server.exe) started for one test on
// the launcher's port 5150 (or a free port) at a loopback address of its own
// (127.x.y.z, picked at random), so that tests running side by side never
// meet. It ends with the object, or by itself after its time limit.

#include <windows.h>

#include <cstdint>
#include <filesystem>
#include <string>

namespace velmora::testing {

// A loopback address picked at random (127.x.y.z), for a test of its own.
std::string RandomLoopbackAddress();

class ReferenceServer {
 public:
  // `serverExe` is the Windows build of velmora-server; `extraSwitches` are
  // appended to its command line (fault switches); it ends by itself after
  // `lifetimeSeconds`. Port 0 lets the server take a free port.
  ReferenceServer(const std::string& serverExe, const std::filesystem::path& root,
                  const std::filesystem::path& data, const std::string& extraSwitches = {},
                  int lifetimeSeconds = 180, int port = 5150);
  ReferenceServer(const ReferenceServer&) = delete;
  ReferenceServer& operator=(const ReferenceServer&) = delete;
  ~ReferenceServer();

  bool listening() const { return listening_; }
  const std::string& address() const { return address_; }
  uint16_t port() const { return port_; }
  // The request log, one line a request.
  std::string Log() const;

 private:
  PROCESS_INFORMATION process_{};
  bool started_ = false;
  bool listening_ = false;
  std::string address_;
  uint16_t port_ = 0;
  std::filesystem::path log_;
};

}  // namespace velmora::testing
