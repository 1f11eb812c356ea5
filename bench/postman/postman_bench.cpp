// Speed of one sync pass: 1,000 request files of 1 KB in OUT, sent to the
// reference server (its own process, on a free loopback port) and moved into
// SENT. Prints the files per second from the pass's connection to its last
// move, beside a plain blocking client sending the same 1,000 frames over one
// connection to the same server, and the peak working set of this process
// before and after the pass. Prints figures only.
//
//   cmake --build build/win64 --target postman_bench velmora-server
//   scripts/wine-run.sh build/win64/bench/postman/postman_bench.exe [files]

#include <winsock2.h>
#include <windows.h>
#include <psapi.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "link/link_api.h"
#include "postman/shared_state.h"
#include "postman/sync_pass.h"
#include "support/temp_dir.h"
#include "postman/postman_server_process.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
constexpr std::size_t kFileBytes = 1024;
constexpr std::size_t kFileBuffer = 10735760;
using velmora::postman::testing::ServerProcess;

std::string ServerSwitches(const fs::path& root, const fs::path& data) {
  return "--port 0 --exit-after-seconds 600 --root \"" + root.string() + "\" --data \"" + data.string() + "\"";
}

std::string Payload(int i) {
  std::string p = "915 file " + std::to_string(i) + " ";
  p.resize(kFileBytes, static_cast<char>('a' + i % 26));
  return p;
}

std::string Frame(const std::string& payload) {
  const auto total = static_cast<uint32_t>(payload.size() + 4);
  std::string f(4, '\0');
  for (int i = 0; i < 4; ++i) f[static_cast<std::size_t>(i)] = static_cast<char>((total >> (8 * i)) & 0xFF);
  return f + payload;
}

bool ReadExactly(SOCKET s, char* out, std::size_t n) {
  for (std::size_t got = 0; got < n;) {
    const int r = recv(s, out + got, static_cast<int>(n - got), 0);
    if (r <= 0) return false;
    got += static_cast<std::size_t>(r);
  }
  return true;
}

bool Exchange(SOCKET s, const std::string& payload) {
  const std::string frame = Frame(payload);
  if (send(s, frame.data(), static_cast<int>(frame.size()), 0) != static_cast<int>(frame.size())) return false;
  unsigned char h[4];
  if (!ReadExactly(s, reinterpret_cast<char*>(h), 4)) return false;
  const uint32_t total = h[0] | (h[1] << 8) | (h[2] << 16) | (static_cast<uint32_t>(h[3]) << 24);
  std::string answer(total - 4, '\0');
  return ReadExactly(s, answer.data(), answer.size());
}

// The same frames from a plain blocking client over one connection; seconds.
double PlainClient(uint16_t port, int files) {
  WSADATA wsa;
  WSAStartup(MAKEWORD(2, 2), &wsa);
  const SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(port);
  a.sin_addr.s_addr = inet_addr("127.0.0.1");
  const auto start = Clock::now();
  if (connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) return -1;
  const BOOL noDelay = TRUE;
  setsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&noDelay), sizeof noDelay);
  Exchange(s, "000 4711       bench.exe (bench)");
  for (int i = 0; i < files; ++i)
    if (!Exchange(s, Payload(i))) return -1;
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  closesocket(s);
  WSACleanup();
  return seconds;
}

// Times of the pass's log lines that bracket the sending.
Clock::time_point g_connecting, g_closing;
void MarkLogLine(std::string_view line) {
  if (line.ends_with("init conectare postas")) g_connecting = Clock::now();
  if (line.ends_with("inchide conexiune ....")) g_closing = Clock::now();
}

double PeakWorkingSetMb() {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
  return static_cast<double>(counters.PeakWorkingSetSize) / (1024.0 * 1024.0);
}

}  // namespace

int main(int argc, char** argv) {
  const int files = argc > 1 ? std::atoi(argv[1]) : 1000;
  velmora::testing::TempDir dir;
  for (const char* folder : {"OUT", "SENT", "root", "data"}) fs::create_directories(dir.path() / folder);
  for (int i = 0; i < files; ++i) velmora::testing::WriteFileBytes(dir.path() / "OUT" / ("f" + std::to_string(i)), Payload(i));

  ServerProcess server(VELMORA_SERVER_EXE, ServerSwitches(dir.path() / "root", dir.path() / "data"));
  if (server.port() == 0) {
    std::printf("the reference server did not start\n");
    return 1;
  }
  using namespace velmora;
  postman::Shared().clientCode = 4711;
  postman::Shared().ready = true;
  link::SETNETLIBSILENTMODE(2);
  link::SETTCPPORT(server.port());
  link::SETIPFIX("127.0.0.1");
  link::SetLinkLogWriter(&MarkLogLine);
  link::SETLUNSTARWNDLOG(1);

  WNDCLASSA wc{};
  wc.lpfnWndProc = DefWindowProcA;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "PostmanBench";
  RegisterClassA(&wc);
  const HWND dialog = CreateWindowExA(0, wc.lpszClassName, "bench", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr,
                                      nullptr, wc.hInstance, nullptr);
  std::vector<char> buffer(kFileBuffer);
  const postman::PassPlace place{dialog, wc.hInstance, (dir.path() / "OUT" / "").string(),
                                 (dir.path() / "SENT" / "").string(), buffer, 0};

  const double peakBefore = PeakWorkingSetMb();
  const auto passStart = Clock::now();
  const int16_t result = postman::RunSyncPass(place, 60000);
  const auto passEnd = Clock::now();
  const double peakAfter = PeakWorkingSetMb();
  KillTimer(dialog, 2);

  std::size_t moved = 0;
  for (const auto& entry : fs::directory_iterator(dir.path() / "SENT")) moved += entry.is_regular_file();
  const double sending = std::chrono::duration<double>(g_closing - g_connecting).count();
  const double whole = std::chrono::duration<double>(passEnd - passStart).count();
  // A fresh server for the plain client, so that both start from an empty
  // received folder (under wine a file name is looked up by reading the folder).
  fs::create_directories(dir.path() / "data2");
  ServerProcess second(VELMORA_SERVER_EXE, ServerSwitches(dir.path() / "root", dir.path() / "data2"));
  const double plain = PlainClient(second.port(), files);

  std::printf("postman pass: result %d, %zu of %d files moved into SENT\n", result, moved, files);
  std::printf("  connection to last move  %8.3f s  %8.0f files/s\n", sending, moved / sending);
  std::printf("  whole pass (list, sort)  %8.3f s\n", whole);
  std::printf("plain client, one connection %6.3f s  %8.0f files/s\n", plain, files / plain);
  std::printf("ratio plain/postman          %6.2f\n", sending / plain);
  std::printf("peak working set: before the pass %.1f MB, after %.1f MB\n", peakBefore, peakAfter);
  return 0;
}
