// Speed of the server link over loopback: request/answer exchanges per second
// through GETRASPUNSCALIFICARE with 1 KB payloads, beside a plain blocking
// socket client sending the same frames to the same server; MB/s of a 10 MB
// download; and what clearing the two 10,735,760-byte transfer buffers at
// every exchange would cost. Prints figures only.

#include <winsock2.h>
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "common/transfer_size.h"
#include "link/link_api.h"
#include "link/link_testing.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr std::size_t kPayload = 1024;
constexpr std::size_t kDownload = 10'000'000;

std::string Frame(std::string_view payload) {
  const auto total = static_cast<uint32_t>(payload.size() + 4);
  std::string f(4, '\0');
  for (int i = 0; i < 4; ++i) f[static_cast<std::size_t>(i)] = static_cast<char>((total >> (8 * i)) & 0xFF);
  return f.append(payload);
}

bool ReadExactly(SOCKET s, char* out, std::size_t n) {
  for (std::size_t got = 0; got < n;) {
    const int r = recv(s, out + got, static_cast<int>(n - got), 0);
    if (r <= 0) return false;
    got += static_cast<std::size_t>(r);
  }
  return true;
}

bool ReadFrame(SOCKET s, std::string& payload) {
  unsigned char h[4];
  if (!ReadExactly(s, reinterpret_cast<char*>(h), 4)) return false;
  const uint32_t total = h[0] | (h[1] << 8) | (h[2] << 16) | (static_cast<uint32_t>(h[3]) << 24);
  payload.resize(total - 4);
  return ReadExactly(s, payload.data(), payload.size());
}

void SendAll(SOCKET s, const std::string& bytes) {
  for (std::size_t sent = 0; sent < bytes.size();) {
    const int n = send(s, bytes.data() + sent, static_cast<int>(bytes.size() - sent), 0);
    if (n <= 0) return;
    sent += static_cast<std::size_t>(n);
  }
}

// The one server both clients talk to: "OK" to the qualification, 10 MB to
// "903 big", 1 KB to anything else.
class BenchServer {
 public:
  BenchServer() {
    listener_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = inet_addr("127.0.0.1");
    bind(listener_, reinterpret_cast<sockaddr*>(&a), sizeof a);
    listen(listener_, 4);
    int n = sizeof a;
    getsockname(listener_, reinterpret_cast<sockaddr*>(&a), &n);
    port_ = ntohs(a.sin_port);
    thread_ = std::thread([this] { Run(); });
  }
  ~BenchServer() {
    stop_ = true;
    closesocket(listener_);
    thread_.join();
    for (auto& t : sessions_) t.join();
  }
  uint16_t port() const { return port_; }

 private:
  void Run() {
    while (!stop_) {
      SOCKET s = accept(listener_, nullptr, nullptr);
      if (s == INVALID_SOCKET) return;
      sessions_.emplace_back([s] { Serve(s); });
    }
  }
  static void Serve(SOCKET s) {
    static const std::string small = Frame(std::string(kPayload, 'a'));
    static const std::string big = Frame(std::string(kDownload, 'b'));
    const BOOL on = TRUE;
    setsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&on), sizeof on);
    std::string request;
    while (ReadFrame(s, request)) {
      if (request.rfind("000 ", 0) == 0)
        SendAll(s, Frame("OK"));
      else
        SendAll(s, request.rfind("903 big", 0) == 0 ? big : small);
    }
    closesocket(s);
  }
  SOCKET listener_;
  uint16_t port_ = 0;
  bool stop_ = false;
  std::thread thread_;
  std::vector<std::thread> sessions_;
};

double Seconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }

double LinkExchangesPerSecond(int count) {
  const std::string request = "903 " + std::string(kPayload - 4, 'r');
  std::vector<char> answer(kPayload);
  const auto start = Clock::now();
  for (int i = 0; i < count; ++i)
    if (velmora::link::GETRASPUNSCALIFICARE(request, answer.data(), static_cast<int32_t>(answer.size())) !=
        static_cast<int32_t>(kPayload)) {
      std::printf("exchange %d failed\n", i);
      return 0;
    }
  return count / Seconds(start);
}

double PlainExchangesPerSecond(uint16_t port, int count) {
  SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  const BOOL on = TRUE;
  setsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&on), sizeof on);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(port);
  a.sin_addr.s_addr = inet_addr("127.0.0.1");
  connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a);
  std::string answer;
  SendAll(s, Frame("000 1         bench.exe (x)"));
  ReadFrame(s, answer);
  const std::string frame = Frame("903 " + std::string(kPayload - 4, 'r'));
  const auto start = Clock::now();
  for (int i = 0; i < count; ++i) {
    SendAll(s, frame);
    ReadFrame(s, answer);
  }
  const double rate = count / Seconds(start);
  closesocket(s);
  return rate;
}

double ZeroingMilliseconds(int rounds) {
  std::vector<char> a(velmora::kTransferBufferSize), b(velmora::kTransferBufferSize);
  const auto start = Clock::now();
  for (int i = 0; i < rounds; ++i) {
    std::memset(a.data(), i & 1, a.size());
    std::memset(b.data(), i & 1, b.size());
  }
  const double ms = Seconds(start) * 1000 / rounds;
  volatile char sink = a[12345] + b[54321];
  (void)sink;
  return ms;
}

}  // namespace

int main() {
  WSADATA wsa;
  WSAStartup(MAKEWORD(2, 2), &wsa);
  BenchServer server;
  HWND dialog = CreateWindowExA(0, "STATIC", "bench", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
  velmora::link::SETTCPPORT(server.port());
  velmora::link::SETIPFIX("127.0.0.1");
  velmora::link::SETNETLIBSILENTMODE(1);
  if (velmora::link::INITCONECTARELASERVER(dialog, GetModuleHandleA(nullptr), 1) != 0) {
    std::printf("could not connect\n");
    return 1;
  }
  constexpr int kExchanges = 2000;
  std::printf("link benchmark over 127.0.0.1, %zu-byte requests and answers, %d exchanges each\n", kPayload, kExchanges);

  LinkExchangesPerSecond(100);  // warm up
  const double link = LinkExchangesPerSecond(kExchanges);
  velmora::link::testing::SetZeroWholeBuffers(true);
  const double linkWhole = LinkExchangesPerSecond(kExchanges / 4);
  velmora::link::testing::SetZeroWholeBuffers(false);
  const double plain = PlainExchangesPerSecond(server.port(), kExchanges);
  std::printf("  GETRASPUNSCALIFICARE, clearing only written bytes : %9.0f exchanges/s\n", link);
  std::printf("  GETRASPUNSCALIFICARE, clearing both whole buffers : %9.0f exchanges/s\n", linkWhole);
  std::printf("  plain blocking-socket client                     : %9.0f exchanges/s\n", plain);
  std::printf("  link / plain                                     : %9.2f\n", link / plain);

  const double zeroMs = ZeroingMilliseconds(20);
  std::printf("  clearing two %zu-byte buffers                : %9.2f ms per exchange\n",
              velmora::kTransferBufferSize, zeroMs);
  std::printf("  share of a whole-clearing exchange spent clearing: %9.0f %%\n", 100.0 * zeroMs / (1000.0 / linkWhole));

  std::vector<char> answer(velmora::kTransferBufferSize);
  const int kDownloads = 5;
  const auto start = Clock::now();
  for (int i = 0; i < kDownloads; ++i)
    if (velmora::link::GETRASPUNSCALIFICARE("903 big", answer.data(), static_cast<int32_t>(answer.size())) !=
        static_cast<int32_t>(kDownload))
      std::printf("download %d failed\n", i);
  const double mbs = kDownloads * (kDownload / 1e6) / Seconds(start);
  std::printf("  10 MB download through the link                  : %9.1f MB/s\n", mbs);

  velmora::link::INCHIDECONECTARELASERVER();
  DestroyWindow(dialog);
  return 0;
}
