#include "server_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <regex>
#include <thread>

extern char** environ;

namespace velmora::testing {

ServerProcess::ServerProcess(const std::vector<std::string>& args,
                             const std::filesystem::path& stderr_file) {
  int pipe_fds[2];
  if (pipe(pipe_fds) != 0) return;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipe_fds[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, pipe_fds[0]);
  posix_spawn_file_actions_addclose(&actions, pipe_fds[1]);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, stderr_file.c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0644);

  std::vector<std::string> argv_text = {VELMORA_SERVER_EXE};
  argv_text.insert(argv_text.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (auto& a : argv_text) argv.push_back(a.data());
  argv.push_back(nullptr);
  if (posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid_ = -1;
  posix_spawn_file_actions_destroy(&actions);
  close(pipe_fds[1]);
  stdout_fd_ = pipe_fds[0];
  if (pid_ < 0) return;

  // The first line, read byte by byte so nothing after it is swallowed.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  std::string line;
  while (std::chrono::steady_clock::now() < deadline) {
    pollfd p{stdout_fd_, POLLIN, 0};
    if (poll(&p, 1, 200) <= 0) continue;
    char c;
    if (read(stdout_fd_, &c, 1) != 1) break;
    if (c == '\n') {
      first_line_ = line;
      break;
    }
    line.push_back(c);
  }
  std::smatch m;
  static const std::regex kListening(R"(^listening on 127\.0\.0\.\d+:(\d+)$)");
  if (std::regex_match(first_line_, m, kListening))
    port_ = static_cast<std::uint16_t>(std::stoi(m[1].str()));
}

ServerProcess::~ServerProcess() {
  if (pid_ > 0) Stop(SIGTERM, std::chrono::seconds(5));
  if (stdout_fd_ >= 0) close(stdout_fd_);
}

int ServerProcess::Reap(std::chrono::milliseconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (std::chrono::steady_clock::now() < deadline) {
    int status = 0;
    const pid_t r = waitpid(pid_, &status, WNOHANG);
    if (r == pid_) {
      pid_ = -1;
      return WIFEXITED(status) ? WEXITSTATUS(status) : -2;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return -3;
}

int ServerProcess::Stop(int signal, std::chrono::milliseconds limit) {
  if (pid_ <= 0) return -1;
  kill(pid_, signal);
  const int result = Reap(limit);
  if (result != -3) return result;
  kill(pid_, SIGKILL);
  Reap(std::chrono::seconds(5));
  return -1;
}

int ServerProcess::WaitForExit(std::chrono::milliseconds limit) {
  if (pid_ <= 0) return -1;
  const int result = Reap(limit);
  if (result != -3) return result;
  kill(pid_, SIGKILL);
  Reap(std::chrono::seconds(5));
  return -3;
}

}  // namespace velmora::testing
