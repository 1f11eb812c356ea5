#pragma once
// The reference vendor server (velmora-server.exe) started for one test on
// the launcher's port 5150 at a loopback address of its own (127.x.y.z,
// picked at random), so that tests running side by side never meet. It ends
// with the object, or by itself after its time limit.

#include <windows.h>

#include <filesystem>
#include <string>

namespace velmora::testing {

class ReferenceServer {
 public:
  // `serverExe` is the Windows build of velmora-server; `extraSwitches` are
  // appended to its command line (fault switches); it ends by itself after
  // `lifetimeSeconds`.
  ReferenceServer(const std::string& serverExe, const std::filesystem::path& root, const std::filesystem::path& data,
                  const std::string& extraSwitches = {}, int lifetimeSeconds = 180);
  ReferenceServer(const ReferenceServer&) = delete;
  ReferenceServer& operator=(const ReferenceServer&) = delete;
  ~ReferenceServer();

  bool listening() const { return listening_; }
  const std::string& address() const { return address_; }
  // The request log, one line a request.
  std::string Log() const;

 private:
  PROCESS_INFORMATION process_{};
  bool started_ = false;
  bool listening_ = false;
  std::string address_;
  std::filesystem::path log_;
};

}  // namespace velmora::testing
