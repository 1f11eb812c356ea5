#include "wire_client.h"

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

#include <cerrno>
#include <chrono>

namespace velmora::testing {

namespace {
#ifdef _WIN32
using ssize_t = int;
constexpr int kNoSignal = 0;
int poll(pollfd* fds, unsigned long count, int ms) { return WSAPoll(fds, count, ms); }
void CloseSocket(int fd) { closesocket(static_cast<SOCKET>(fd)); }
bool WasReset() { return WSAGetLastError() == WSAECONNRESET; }
struct WinsockUser {
  WinsockUser() {
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
  }
};
#else
constexpr int kNoSignal = MSG_NOSIGNAL;
void CloseSocket(int fd) { close(fd); }
bool WasReset() { return errno == ECONNRESET; }
#endif
}  // namespace

WireClient::WireClient(std::uint16_t port, int timeout_ms, const std::string& host)
    : timeout_ms_(timeout_ms) {
#ifdef _WIN32
  static WinsockUser winsock;
  const SOCKET s = socket(AF_INET, SOCK_STREAM, 0);
  if (s == INVALID_SOCKET) return;
  fd_ = static_cast<int>(s);
  const DWORD tv = static_cast<DWORD>(timeout_ms);
  setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&tv), sizeof tv);
  setsockopt(s, SOL_SOCKET, SO_SNDTIMEO, reinterpret_cast<const char*>(&tv), sizeof tv);
#else
  fd_ = socket(AF_INET, SOCK_STREAM, 0);
  if (fd_ < 0) return;
  timeval tv{timeout_ms / 1000, (timeout_ms % 1000) * 1000};
  setsockopt(fd_, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
  setsockopt(fd_, SOL_SOCKET, SO_SNDTIMEO, &tv, sizeof tv);
#endif
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  address.sin_addr.s_addr = inet_addr(host.c_str());
  if (connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    CloseSocket(fd_);
    fd_ = -1;
  }
}

WireClient::~WireClient() {
  if (fd_ >= 0) CloseSocket(fd_);
}

bool WireClient::SendRaw(std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = send(fd_, bytes.data(), static_cast<int>(bytes.size()), kNoSignal);
    if (n <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

void WireClient::ShutdownSending() {
#ifdef _WIN32
  shutdown(static_cast<SOCKET>(fd_), SD_SEND);
#else
  shutdown(fd_, SHUT_WR);
#endif
}

bool WireClient::SendFrame(std::string_view payload) {
  const auto total = static_cast<std::uint32_t>(payload.size() + 4);
  std::string header(4, '\0');
  for (int i = 0; i < 4; ++i) header[i] = static_cast<char>((total >> (8 * i)) & 0xFF);
  return SendRaw(header) && SendRaw(payload);
}

std::optional<std::string> WireClient::ReadExactly(std::size_t count) {
  std::string bytes(count, '\0');
  std::size_t got = 0;
  while (got < count) {
    const ssize_t n = recv(fd_, bytes.data() + got, static_cast<int>(count - got), 0);
    if (n == 0) closed_by_server_ = true;
    if (n <= 0) return std::nullopt;
    got += static_cast<std::size_t>(n);
  }
  return bytes;
}

std::optional<WireClient::Frame> WireClient::ReadFrame() {
  const auto header = ReadExactly(4);
  if (!header) return std::nullopt;
  std::uint32_t value = 0;
  for (int i = 0; i < 4; ++i)
    value |= static_cast<std::uint32_t>(static_cast<unsigned char>((*header)[i])) << (8 * i);
  Frame frame;
  frame.announced = static_cast<std::int32_t>(value);
  if (frame.announced < 4) return frame;
  auto payload = ReadExactly(static_cast<std::size_t>(frame.announced) - 4);
  if (!payload) return std::nullopt;
  frame.payload = std::move(*payload);
  return frame;
}

std::optional<std::string> WireClient::Exchange(std::string_view payload) {
  if (!SendFrame(payload)) return std::nullopt;
  auto frame = ReadFrame();
  if (!frame) return std::nullopt;
  return std::move(frame->payload);
}

WireClient::Wait WireClient::WaitForInput(int ms) {
  pollfd p{static_cast<decltype(pollfd::fd)>(fd_), POLLIN, 0};
  if (poll(&p, 1, ms) <= 0) return Wait::kSilent;
  char c;
  const ssize_t n = recv(fd_, &c, 1, MSG_PEEK);
  return n > 0 ? Wait::kData : Wait::kClosed;
}

std::string WireClient::ReadToEnd(int ms) {
  std::string bytes;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  char buffer[65536];
  while (std::chrono::steady_clock::now() < deadline) {
    pollfd p{static_cast<decltype(pollfd::fd)>(fd_), POLLIN, 0};
    if (poll(&p, 1, 100) <= 0) continue;
    const ssize_t n = recv(fd_, buffer, static_cast<int>(sizeof buffer), 0);
    if (n == 0 || (n < 0 && WasReset())) {
      closed_by_server_ = true;
      break;
    }
    if (n < 0) break;
    bytes.append(buffer, static_cast<std::size_t>(n));
  }
  return bytes;
}

ConnectOutcome TryConnect(std::uint16_t port, int ms) {
#ifdef _WIN32
  static WinsockUser winsock;
  const SOCKET fd = socket(AF_INET, SOCK_STREAM, 0);
  u_long on = 1;
  ioctlsocket(fd, FIONBIO, &on);
#else
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
#endif
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  (void)connect(fd, reinterpret_cast<sockaddr*>(&address),
                sizeof address);  // in progress; poll tells the outcome
  pollfd p{fd, POLLOUT, 0};
  ConnectOutcome outcome = ConnectOutcome::kTimedOut;
  if (poll(&p, 1, ms) > 0) {
    int error = 0;
    socklen_t length = sizeof error;
    getsockopt(fd, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &length);
    outcome = error == 0 ? ConnectOutcome::kConnected : ConnectOutcome::kRefused;
  }
  CloseSocket(static_cast<int>(fd));
  return outcome;
}

std::string QualificationLine(std::string_view client_code, std::string_view info) {
  std::string code(client_code);
  code.resize(10, ' ');
  return "000 " + code + " VELMORA.exe (" + std::string(info) + ")";
}

}  // namespace velmora::testing
