// Speed of one sync pass: 1,000 request files of 1 KB in OUT, sent to the
// reference server (its own process, on a free loopback port) and moved into
// SENT. Prints the files per second from the pass's connection to its last
// move, beside a plain blocking client sending the same 1,000 frames over one
// connection to the same server, and the peak working set of this process
// before and after the pass. Prints figures only, the comparison also as a
// `row: <measure (unit)>; <figure>; <reference>; <ratio>` line.
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

#include "common/fixed_text.h"
#include "common/shared_state.h"
#include "common/transfer_size.h"
#include "link/link_api.h"
#include "postman/sync_pass.h"
#include "server/wire_client.h"
#include "support/reference_server.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
constexpr std::size_t kFileBytes = 1024;
using velmora::testing::ReferenceServer;
constexpr int kServerLifetimeSeconds = 600;

std::string Payload(int i) {
  std::string p = "915 file " + std::to_string(i) + " ";
  p.resize(kFileBytes, static_cast<char>('a' + i % 26));
  return p;
}

// Each frame handed to one send call, as the link does (a header sent apart
// would wait for the server's delayed acknowledgement).
bool SendInOnePiece(velmora::testing::WireClient& client, const std::string& payload) {
  std::string frame(4, '\0');
  velmora::WriteInt32(frame, 0, static_cast<int32_t>(payload.size() + 4));
  return client.SendRaw(frame + payload) && client.ReadFrame().has_value();
}

// The same frames from a plain blocking client over one connection; seconds.
double PlainClient(const std::string& address, int files) {
  const auto start = Clock::now();
  velmora::testing::WireClient client(5150, 10000, address);
  if (!SendInOnePiece(client, velmora::testing::QualificationLine("4711", "bench"))) return -1;
  for (int i = 0; i < files; ++i)
    if (!SendInOnePiece(client, Payload(i))) return -1;
  return std::chrono::duration<double>(Clock::now() - start).count();
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
  for (const char* folder : {"OUT", "SENT", "root", "data"})
    fs::create_directories(dir.path() / folder);
  for (int i = 0; i < files; ++i)
    velmora::testing::WriteFileBytes(dir.path() / "OUT" / ("f" + std::to_string(i)), Payload(i));

  ReferenceServer server(VELMORA_SERVER_EXE, dir.path() / "root", dir.path() / "data", {},
                         kServerLifetimeSeconds);
  if (!server.listening()) {
    std::printf("the reference server did not start\n");
    return 1;
  }
  using namespace velmora;
  Shared().clientCode = 4711;
  Shared().ready = true;
  link::SETNETLIBSILENTMODE(2);
  link::SETIPFIX(server.address());
  link::SetLinkLogWriter(&MarkLogLine);
  link::SETLUNSTARWNDLOG(1);

  WNDCLASSA wc{};
  wc.lpfnWndProc = DefWindowProcA;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "PostmanBench";
  RegisterClassA(&wc);
  const HWND dialog = CreateWindowExA(0, wc.lpszClassName, "bench", WS_OVERLAPPEDWINDOW, 0, 0, 300,
                                      200, nullptr, nullptr, wc.hInstance, nullptr);
  std::vector<char> buffer(velmora::kTransferBufferSize);
  const postman::PassPlace place{dialog,
                                 wc.hInstance,
                                 (dir.path() / "OUT" / "").string(),
                                 (dir.path() / "SENT" / "").string(),
                                 buffer,
                                 0};

  const double peakBefore = PeakWorkingSetMb();
  const auto passStart = Clock::now();
  const int16_t result = postman::RunSyncPass(place, 60000);
  const auto passEnd = Clock::now();
  const double peakAfter = PeakWorkingSetMb();
  KillTimer(dialog, 2);

  std::size_t moved = 0;
  for (const auto& entry : fs::directory_iterator(dir.path() / "SENT"))
    moved += entry.is_regular_file();
  const double sending = std::chrono::duration<double>(g_closing - g_connecting).count();
  const double whole = std::chrono::duration<double>(passEnd - passStart).count();
  // A fresh server for the plain client, so that both start from an empty
  // received folder (under wine a file name is looked up by reading the folder).
  fs::create_directories(dir.path() / "data2");
  ReferenceServer second(VELMORA_SERVER_EXE, dir.path() / "root", dir.path() / "data2", {},
                         kServerLifetimeSeconds);
  const double plain = PlainClient(second.address(), files);

  std::printf("postman pass: result %d, %zu of %d files moved into SENT\n", result, moved, files);
  std::printf("  connection to last move  %8.3f s  %8.0f files/s\n", sending, moved / sending);
  std::printf("  whole pass (list, sort)  %8.3f s\n", whole);
  std::printf("plain client, one connection %6.3f s  %8.0f files/s\n", plain, files / plain);
  std::printf("postman time / plain time     %6.2f\n", sending / plain);
  std::printf("peak working set: before the pass %.1f MB, after %.1f MB\n", peakBefore, peakAfter);
  std::printf(
      "row: postman pass, 1 KB request files, vs a plain client (files/s); %.0f; %.0f; %.2f\n",
      static_cast<double>(moved) / sending, files / plain,
      (static_cast<double>(moved) / sending) / (files / plain));
  return 0;
}
