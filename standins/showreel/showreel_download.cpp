// File download of the slide library stand-in: one blocking exchange with
// the vendor's server per call, "903 " + remote path out, the file's bytes
// back, in the framing of the launcher's own link. Runs on whatever thread
// calls it (the launcher's schedule-update thread).

#include <winsock2.h>
#include <ws2tcpip.h>

#include <string>

#include "showreel/showreel_exports.h"
#include "showreel/showreel_rules.h"

namespace {

using namespace velmora::standins;

constexpr DWORD kConnectTimeoutMs = 4500;  // as the launcher's own link
constexpr DWORD kReceiveTimeoutMs = 10000;

// Result codes of ShowreelGetFisierDif.
constexpr int32_t kBadArguments = -1;
constexpr int32_t kNoConnection = -2;
constexpr int32_t kExchangeBroken = -3;
constexpr int32_t kBadAnswerLength = -4;
constexpr int32_t kLocalWriteFailed = -5;

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

std::string LibraryFolder() {
  HMODULE self = nullptr;
  GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCSTR>(&ShowreelGetFisierDif), &self);
  char path[MAX_PATH] = {};
  const DWORD n = GetModuleFileNameA(self, path, MAX_PATH);
  std::string folder(path, n);
  const auto slash = folder.find_last_of("\\/");
  return slash == std::string::npos ? std::string() : folder.substr(0, slash + 1);
}

std::string ReadSmallFile(const std::string& path) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
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
  timeval limit{static_cast<long>(kConnectTimeoutMs / 1000), static_cast<long>(kConnectTimeoutMs % 1000) * 1000};
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
    const int n = send(s, bytes.data() + sent, static_cast<int>(std::min<std::size_t>(bytes.size() - sent, 65536)), 0);
    if (n <= 0) return false;
    sent += static_cast<std::size_t>(n);
  }
  return true;
}

bool ReceiveExactly(SOCKET s, char* into, std::size_t count) {
  for (std::size_t got = 0; got < count;) {
    const int n = recv(s, into + got, static_cast<int>(std::min<std::size_t>(count - got, 65536)), 0);
    if (n <= 0) return false;
    got += static_cast<std::size_t>(n);
  }
  return true;
}

bool WriteWholeFile(const std::string& path, const std::string& bytes) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                  written == bytes.size();
  CloseHandle(file);
  if (!ok) DeleteFileA(path.c_str());  // no half-written picture left behind
  return ok;
}

}  // namespace

extern "C" int32_t WINAPI ShowreelGetFisierDif(const char* remotePath, int32_t remoteLength, const char* localPath,
                                               int32_t localLength) {
  const std::string remote = ArgumentText(remotePath, remoteLength);
  const std::string local = ArgumentText(localPath, localLength);
  if (remote.empty() || local.empty()) return kBadArguments;

  WinsockSession winsock;
  if (!winsock.ok()) return kNoConnection;
  sockaddr_in address{};
  const std::string server = ServerFromAddressList(ReadSmallFile(LibraryFolder() + "hostlane.lst"));
  if (!Resolve(server, PortFromEnvironment(), address)) return kNoConnection;
  Socket connection;
  if (connection.get() == INVALID_SOCKET || !ConnectWithTimeout(connection.get(), address)) return kNoConnection;

  if (!SendAll(connection.get(), FileRequestFrame(remote))) return kExchangeBroken;
  char header[4];
  if (!ReceiveExactly(connection.get(), header, sizeof header)) return kExchangeBroken;
  const auto length = AnswerPayloadLength(std::string_view(header, sizeof header));
  if (!length) return kBadAnswerLength;
  std::string payload(*length, '\0');
  if (!ReceiveExactly(connection.get(), payload.data(), payload.size())) return kExchangeBroken;
  if (payload.empty()) return 0;  // nothing served: the local file stays as it was

  if (!WriteWholeFile(local, payload)) return kLocalWriteFailed;
  return static_cast<int32_t>(payload.size());
}
