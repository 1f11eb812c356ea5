// One blocking exchange with the vendor's server, shared by the stand-ins
// of the vendor's libraries: "903 " + remote path out, the file's bytes
// back, in the framing of the launcher's own link.

#include <winsock2.h>
#include <ws2tcpip.h>

#include "showreel/server_fetch.h"

#include <algorithm>

#include "showreel/showreel_rules.h"

namespace velmora::standins {
namespace {

constexpr DWORD kConnectTimeoutMs = 4500;  // as the launcher's own link
constexpr DWORD kReceiveTimeoutMs = 10000;

class WinsockSession {
 public:
  WinsockSession() {
    WSADATA data;
    ok_ = WSAStartup(MAKEWORD(2, 2), &data) == 0;
  }
  WinsockSession(const WinsockSession&) = delete;
  WinsockSession& operator=(const WinsockSession&) = delete;
  ~WinsockSession() {
    if (ok_) WSACleanup();
  }
  bool ok() const { return ok_; }

 private:
  bool ok_ = false;
};

class Socket {
 public:
  Socket() : s_(socket(AF_INET, SOCK_STREAM, IPPROTO_TCP)) {}
  Socket(const Socket&) = delete;
  Socket& operator=(const Socket&) = delete;
  ~Socket() {
    if (s_ != INVALID_SOCKET) closesocket(s_);
  }
  SOCKET get() const { return s_; }

 private:
  SOCKET s_;
};

std::string ReadSmallFile(const std::string& path) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {};
  char buffer[1024];
  DWORD read = 0;
  std::string text;
  if (ReadFile(file, buffer, sizeof buffer, &read, nullptr)) text.assign(buffer, read);
  CloseHandle(file);
  return text;
}

uint16_t PortFromEnvironment() {
  char value[16] = {};
  const DWORD n = GetEnvironmentVariableA("VELMORA_SERVER_PORT", value, sizeof value);
  return ServerPort(n > 0 && n < sizeof value ? value : nullptr);
}

bool Resolve(const std::string& server, uint16_t port, sockaddr_in& address) {
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  if (getaddrinfo(server.c_str(), nullptr, &hints, &found) != 0 || found == nullptr) return false;
  address = *reinterpret_cast<sockaddr_in*>(found->ai_addr);
  address.sin_port = htons(port);
  freeaddrinfo(found);
  return true;
}

// Connects within kConnectTimeoutMs, then leaves the socket blocking.
bool ConnectWithTimeout(SOCKET s, const sockaddr_in& address) {
  u_long nonBlocking = 1;
  ioctlsocket(s, FIONBIO, &nonBlocking);
  if (connect(s, reinterpret_cast<const sockaddr*>(&address), sizeof address) == SOCKET_ERROR &&
      WSAGetLastError() != WSAEWOULDBLOCK)
    return false;
  fd_set writable, failed;
  FD_ZERO(&writable);
  FD_ZERO(&failed);
  FD_SET(s, &writable);
  FD_SET(s, &failed);
  timeval limit{static_cast<long>(kConnectTimeoutMs / 1000),
                static_cast<long>(kConnectTimeoutMs % 1000) * 1000};
  if (select(0, nullptr, &writable, &failed, &limit) != 1 || !FD_ISSET(s, &writable)) return false;
  u_long blocking = 0;
  ioctlsocket(s, FIONBIO, &blocking);
  const DWORD timeout = kReceiveTimeoutMs;
  setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout), sizeof timeout);
  setsockopt(s, SOL_SOCKET, SO_SNDTIMEO, reinterpret_cast<const char*>(&timeout), sizeof timeout);
  return true;
}

bool SendAll(SOCKET s, const std::string& bytes) {
  for (std::size_t sent = 0; sent < bytes.size();) {
    const int n = send(s, bytes.data() + sent,
                       static_cast<int>(std::min<std::size_t>(bytes.size() - sent, 65536)), 0);
    if (n <= 0) return false;
    sent += static_cast<std::size_t>(n);
  }
  return true;
}

bool ReceiveExactly(SOCKET s, char* into, std::size_t count) {
  for (std::size_t got = 0; got < count;) {
    const int n =
        recv(s, into + got, static_cast<int>(std::min<std::size_t>(count - got, 65536)), 0);
    if (n <= 0) return false;
    got += static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace

int32_t FetchServerFile(const std::string& remotePath, const std::string& addressListFile,
                        std::string& payload) {
  payload.clear();
  WinsockSession winsock;
  if (!winsock.ok()) return kFetchNoConnection;
  sockaddr_in address{};
  const std::string server = ServerFromAddressList(ReadSmallFile(addressListFile));
  if (!Resolve(server, PortFromEnvironment(), address)) return kFetchNoConnection;
  Socket connection;
  if (connection.get() == INVALID_SOCKET || !ConnectWithTimeout(connection.get(), address))
    return kFetchNoConnection;

  if (!SendAll(connection.get(), FileRequestFrame(remotePath))) return kFetchBroken;
  char header[4];
  if (!ReceiveExactly(connection.get(), header, sizeof header)) return kFetchBroken;
  const auto length = AnswerPayloadLength(std::string_view(header, sizeof header));
  if (!length) return kFetchBadLength;
  payload.assign(*length, '\0');
  if (!ReceiveExactly(connection.get(), payload.data(), payload.size())) {
    payload.clear();
    return kFetchBroken;
  }
  return 0;
}

bool WriteWholeFile(const std::string& path, const std::string& bytes) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool ok =
      WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
      written == bytes.size();
  CloseHandle(file);
  if (!ok) DeleteFileA(path.c_str());  // nothing half-written left behind
  return ok;
}

std::string FolderOfModule(const void* addressInModule) {
  HMODULE self = nullptr;
  GetModuleHandleExA(
      GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
      static_cast<LPCSTR>(addressInModule), &self);
  char path[MAX_PATH] = {};
  const DWORD n = GetModuleFileNameA(self, path, MAX_PATH);
  std::string folder(path, n);
  const auto slash = folder.find_last_of("\\/");
  return slash == std::string::npos ? std::string() : folder.substr(0, slash + 1);
}

}  // namespace velmora::standins
