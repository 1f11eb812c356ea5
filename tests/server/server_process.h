#pragma once
// The real velmora-server, started as a child process for one test and
// stopped at the end of it whatever happens.

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include <sys/types.h>

namespace velmora::testing {

class ServerProcess {
 public:
  // Starts the program with `args` and waits (at most 20 s) for its first
  // line on stdout. Its stderr goes to `stderr_file`.
  ServerProcess(const std::vector<std::string>& args, const std::filesystem::path& stderr_file);
  ServerProcess(const ServerProcess&) = delete;
  ServerProcess& operator=(const ServerProcess&) = delete;
  ~ServerProcess();

  const std::string& first_line() const { return first_line_; }
  // The port of "listening on 127.0.0.1:<port>", 0 when the line is missing.
  std::uint16_t port() const { return port_; }

  // Sends `signal` and waits for the exit; returns the exit status, or -1
  // when the program had to be killed, -2 when it died from a signal.
  int Stop(int signal, std::chrono::milliseconds limit = std::chrono::seconds(10));

  // Waits for the program to end by itself; same results as Stop, -3 when it
  // was still running at the limit (it is then killed).
  int WaitForExit(std::chrono::milliseconds limit);

 private:
  int Reap(std::chrono::milliseconds limit);

  pid_t pid_ = -1;
  int stdout_fd_ = -1;
  std::string first_line_;
  std::uint16_t port_ = 0;
};

}  // namespace velmora::testing
