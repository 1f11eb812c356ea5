#include "support/loopback_peer.h"

#include <ws2tcpip.h>

namespace velmora::link::testing {
namespace {

struct WinsockUser {
  WinsockUser() {
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
  }
  ~WinsockUser() { WSACleanup(); }
};

void EnsureWinsock() { static WinsockUser user; }

sockaddr_in Address(const char* address, uint16_t port) {
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(port);
  a.sin_addr.s_addr = inet_addr(address);
  return a;
}

bool Readable(SOCKET s, int ms) {
  fd_set set;
  FD_ZERO(&set);
  FD_SET(s, &set);
  timeval tv{ms / 1000, (ms % 1000) * 1000};
  return select(0, &set, nullptr, nullptr, &tv) > 0;
}

}  // namespace

std::string Frame(std::string_view payload) {
  const auto total = static_cast<uint32_t>(payload.size() + 4);
  std::string frame;
  frame += static_cast<char>(total & 0xFF);
  frame += static_cast<char>((total >> 8) & 0xFF);
  frame += static_cast<char>((total >> 16) & 0xFF);
  frame += static_cast<char>((total >> 24) & 0xFF);
  frame += payload;
  return frame;
}

bool PeerConnection::ReadExactly(char* out, std::size_t n) {
  std::size_t got = 0;
  while (got < n) {
    if (stop_) return false;
    if (!Readable(socket_, 50)) continue;
    const int r = recv(socket_, out + got, static_cast<int>(n - got), 0);
    if (r <= 0) return false;
    got += static_cast<std::size_t>(r);
  }
  return true;
}

std::optional<std::string> PeerConnection::ReadFrame() {
  unsigned char header[4];
  if (!ReadExactly(reinterpret_cast<char*>(header), 4)) return std::nullopt;
  const uint32_t total =
      header[0] | (header[1] << 8) | (header[2] << 16) | (static_cast<uint32_t>(header[3]) << 24);
  if (total < 4 || total > 20'000'000) return std::nullopt;
  std::string payload(total - 4, '\0');
  if (!payload.empty() && !ReadExactly(payload.data(), payload.size())) return std::nullopt;
  return payload;
}

bool PeerConnection::Send(std::string_view bytes) {
  std::size_t sent = 0;
  while (sent < bytes.size()) {
    const int n = send(socket_, bytes.data() + sent, static_cast<int>(bytes.size() - sent), 0);
    if (n <= 0) return false;
    sent += static_cast<std::size_t>(n);
  }
  return true;
}

void PeerConnection::WaitForClose() {
  char sink[4096];
  while (!stop_) {
    if (!Readable(socket_, 50)) continue;
    if (recv(socket_, sink, sizeof sink, 0) <= 0) return;
  }
}

LoopbackPeer::LoopbackPeer(Handler handler, const char* address, uint16_t port)
    : handler_(std::move(handler)) {
  EnsureWinsock();
  listener_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  BOOL reuse = TRUE;
  setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, reinterpret_cast<const char*>(&reuse),
             sizeof reuse);
  sockaddr_in a = Address(address, port);
  bind(listener_, reinterpret_cast<sockaddr*>(&a), sizeof a);
  listen(listener_, 8);
  int length = sizeof a;
  getsockname(listener_, reinterpret_cast<sockaddr*>(&a), &length);
  port_ = ntohs(a.sin_port);
  thread_ = std::thread([this] { Run(); });
}

LoopbackPeer::~LoopbackPeer() {
  stop_ = true;
  thread_.join();
  closesocket(listener_);
}

void LoopbackPeer::Run() {
  while (!stop_) {
    if (!Readable(listener_, 50)) continue;
    SOCKET s = accept(listener_, nullptr, nullptr);
    if (s == INVALID_SOCKET) continue;
    PeerConnection connection(s, ++connections_, stop_);
    current_ = this;
    handler_(connection);
    closesocket(s);
  }
}

thread_local LoopbackPeer* LoopbackPeer::current_ = nullptr;

std::vector<std::string> LoopbackPeer::requests() const {
  std::lock_guard guard(lock_);
  return requests_;
}

void LoopbackPeer::Record(const std::string& payload) {
  std::lock_guard guard(lock_);
  requests_.push_back(payload);
}

bool AcceptQualification(PeerConnection& c) {
  auto q = c.ReadFrame();
  if (!q) return false;
  LoopbackPeer::current_->Record(*q);
  return q->rfind("000 ", 0) == 0 && c.Answer("OK");
}

LoopbackPeer::Handler QualifyThenStaySilent() {
  return [](PeerConnection& c) {
    if (AcceptQualification(c)) c.WaitForClose();
  };
}

LoopbackPeer::Handler AnswerEverything(std::string answer) {
  return [answer](PeerConnection& c) {
    if (!AcceptQualification(c)) return;
    while (auto request = c.ReadFrame()) {
      LoopbackPeer::current_->Record(*request);
      c.Answer(answer);
    }
  };
}

Blackhole::Blackhole(const char* address, uint16_t port) {
  EnsureWinsock();
  listener_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in a = Address(address, port);
  if (bind(listener_, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || listen(listener_, 0) != 0)
    return;
  // Fill the queue until a connect stops completing; that one stays pending too.
  for (int i = 0; i < 64; ++i) {
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    u_long nonBlocking = 1;
    ioctlsocket(s, FIONBIO, &nonBlocking);
    connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a);
    fillers_.push_back(s);
    fd_set set;
    FD_ZERO(&set);
    FD_SET(s, &set);
    timeval tv{0, 300'000};
    if (select(0, nullptr, &set, nullptr, &tv) == 0) {
      ok_ = true;
      return;
    }
  }
}

Blackhole::~Blackhole() {
  for (SOCKET s : fillers_) closesocket(s);
  closesocket(listener_);
}

uint16_t FreePort() {
  EnsureWinsock();
  SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in a = Address("127.0.0.1", 0);
  bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a);
  int length = sizeof a;
  getsockname(s, reinterpret_cast<sockaddr*>(&a), &length);
  closesocket(s);
  return ntohs(a.sin_port);
}

}  // namespace velmora::link::testing
