// Speed of the server link over loopback, beside a plain blocking socket
// client talking to the same server in the same run: request/answer
// exchanges per second through GETRASPUNSCALIFICARE with 1 KB payloads, MB/s
// of a 10 MB download, what clearing both 10,735,760-byte transfer buffers at
// every exchange would cost, and the working set the first answer adds.
// Figures are medians of interleaved rounds; the closing "row:" lines are
// collected by the project's benchmark report. Prints figures only.

#include <winsock2.h>
#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "link/link_api.h"
#include "link/link_constants.h"
#include "link/link_testing.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr std::size_t kPayload = 1024;
constexpr std::size_t kDownload = 10'000'000;

std::string Frame(std::string_view payload) {
  const auto total = static_cast<uint32_t>(payload.size() + 4);
  std::string f(4, '\0');
  for (int i = 0; i < 4; ++i)
    f[static_cast<std::size_t>(i)] = static_cast<char>((total >> (8 * i)) & 0xFF);
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
    Small();  // made before anything is measured
    Big();
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
  static const std::string& Small() {
    static const std::string small = Frame(std::string(kPayload, 'a'));
    return small;
  }
  static const std::string& Big() {
    static const std::string big = Frame(std::string(kDownload, 'b'));
    return big;
  }
  static void Serve(SOCKET s) {
    const BOOL on = TRUE;
    setsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&on), sizeof on);
    std::string request;
    while (ReadFrame(s, request)) {
      if (request.rfind("000 ", 0) == 0)
        SendAll(s, Frame("OK"));
      else
        SendAll(s, request.rfind("903 big", 0) == 0 ? Big() : Small());
    }
    closesocket(s);
  }
  SOCKET listener_;
  uint16_t port_ = 0;
  bool stop_ = false;
  std::thread thread_;
  std::vector<std::thread> sessions_;
};

double Seconds(Clock::time_point since) {
  return std::chrono::duration<double>(Clock::now() - since).count();
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? 0 : values[values.size() / 2];
}

double WorkingSetMb() {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
  return static_cast<double>(counters.WorkingSetSize) / 1e6;
}

const std::string& SmallRequest() {
  static const std::string request = "903 " + std::string(kPayload - 4, 'r');
  return request;
}

double LinkExchangesPerSecond(int count) {
  std::vector<char> answer(kPayload);
  const auto start = Clock::now();
  for (int i = 0; i < count; ++i)
    if (velmora::link::GETRASPUNSCALIFICARE(SmallRequest(), answer.data(),
                                            static_cast<int32_t>(answer.size())) !=
        static_cast<int32_t>(kPayload)) {
      std::printf("exchange %d failed\n", i);
      return 0;
    }
  return count / Seconds(start);
}

double LinkDownloadMbPerSecond(std::vector<char>& answer) {
  const auto start = Clock::now();
  if (velmora::link::GETRASPUNSCALIFICARE("903 big", answer.data(),
                                          static_cast<int32_t>(answer.size())) !=
      static_cast<int32_t>(kDownload))
    std::printf("download failed\n");
  return (kDownload / 1e6) / Seconds(start);
}

// The same frames over a plain blocking socket, qualified once.
class PlainClient {
 public:
  explicit PlainClient(uint16_t port) {
    socket_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    const BOOL on = TRUE;
    setsockopt(socket_, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&on), sizeof on);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    a.sin_addr.s_addr = inet_addr("127.0.0.1");
    connect(socket_, reinterpret_cast<sockaddr*>(&a), sizeof a);
    SendAll(socket_, Frame("000 1         bench.exe (x)"));
    ReadFrame(socket_, answer_);
  }
  ~PlainClient() { closesocket(socket_); }
  double ExchangesPerSecond(int count) {
    const std::string frame = Frame(SmallRequest());
    const auto start = Clock::now();
    for (int i = 0; i < count; ++i) {
      SendAll(socket_, frame);
      ReadFrame(socket_, answer_);
    }
    return count / Seconds(start);
  }
  double DownloadMbPerSecond() {
    const auto start = Clock::now();
    SendAll(socket_, Frame("903 big"));
    ReadFrame(socket_, answer_);
    return (answer_.size() / 1e6) / Seconds(start);
  }

 private:
  SOCKET socket_;
  std::string answer_;
};

// Figure and reference are the medians of the rounds; the ratio is the
// median of the rounds' own ratios, each taken from two batches run side by
// side, so that the load other programs put on the machine affects both.
struct Paired {
  std::vector<double> figures, references, ratios;
  void Add(double figure, double reference) {
    figures.push_back(figure);
    references.push_back(reference);
    ratios.push_back(reference != 0 ? figure / reference : 0);
  }
};

void Row(const char* name, const Paired& p) {
  std::printf("row: %s; %.1f; %.1f; %.2f\n", name, Median(p.figures), Median(p.references),
              Median(p.ratios));
}

}  // namespace

int main() {
  WSADATA wsa;
  WSAStartup(MAKEWORD(2, 2), &wsa);
  BenchServer server;
  HWND dialog = CreateWindowExA(0, "STATIC", "bench", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr,
                                nullptr, GetModuleHandleA(nullptr), nullptr);
  velmora::link::SETTCPPORT(server.port());
  velmora::link::SETIPFIX("127.0.0.1");
  velmora::link::SETNETLIBSILENTMODE(1);
  const double workingSetStart = WorkingSetMb();
  if (velmora::link::INITCONECTARELASERVER(dialog, GetModuleHandleA(nullptr), 1) != 0) {
    std::printf("could not connect\n");
    return 1;
  }
  // Opening the link receives its first answer (the qualification); the
  // receive path must not touch the whole 10 MB receive buffer for it.
  const double workingSetOpen = WorkingSetMb();

  constexpr int kRounds = 25;
  constexpr int kExchanges = 60;
  PlainClient plain(server.port());
  std::vector<char> answer(velmora::link::kTransferBufferSize);
  LinkExchangesPerSecond(50);  // warm up both
  plain.ExchangesPerSecond(50);
  Paired exchanges, clearing, downloads;
  for (int round = 0; round < kRounds; ++round) {
    const double link = LinkExchangesPerSecond(kExchanges);
    exchanges.Add(link, plain.ExchangesPerSecond(kExchanges));
    velmora::link::testing::SetZeroWholeBuffers(true);
    clearing.Add(LinkExchangesPerSecond(kExchanges / 10), link);
    velmora::link::testing::SetZeroWholeBuffers(false);
    downloads.Add(LinkDownloadMbPerSecond(answer), plain.DownloadMbPerSecond());
  }
  std::printf(
      "link benchmark over 127.0.0.1: %d interleaved rounds of %d exchanges of %zu bytes and one "
      "download\n",
      kRounds, kExchanges, kPayload);
  Row("link exchanges per second, 1 KB (vs plain client)", exchanges);
  Row("link exchanges per second, 1 KB, clearing both whole buffers (vs clearing written bytes)",
      clearing);
  Row("10 MB download through the link (MB/s, vs plain client)", downloads);
  std::printf("row: working set with the link open (MB, vs before opening it); %.1f; %.1f; %.2f\n",
              workingSetOpen, workingSetStart, workingSetOpen / workingSetStart);

  velmora::link::INCHIDECONECTARELASERVER();
  DestroyWindow(dialog);
  return 0;
}
