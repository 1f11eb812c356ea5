// Soak run: the launcher in a fresh sample suite against the reference server
// for a set time, with a request file dropped into ERP\OUT\ every few seconds
// and a message left for the client now and then. Prints the launcher's
// handle count, GDI and USER objects and private bytes once it has settled
// (its first dropped file sent: the news fetched, a pass done) and again at
// the end, then checks that every dropped file reached
// ERP\SENT\ or still waits in ERP\OUT\. Exit code 1 when a file was lost.
//   soak.exe [seconds]      (default 60)

#include <windows.h>
#include <psapi.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "sample_suite/sample_suite.h"
#include "support/driver.h"
#include "support/reference_server.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using velmora::testing::DrivenProgram;

constexpr auto kSettleLimit = 60s;  // for the news fetch and the first postman pass
constexpr auto kDropEvery = 3s;
constexpr auto kMessageEvery = 60s;
constexpr auto kDrainLimit = 60s;  // time left to the postman to send what is still waiting

struct Counters {
  DWORD handles = 0, gdi = 0, user = 0;
  double privateMb = 0, workingSetMb = 0;
};

Counters Read(HANDLE process) {
  Counters c;
  GetProcessHandleCount(process, &c.handles);
  c.gdi = GetGuiResources(process, GR_GDIOBJECTS);
  c.user = GetGuiResources(process, GR_USEROBJECTS);
  PROCESS_MEMORY_COUNTERS_EX memory{};
  memory.cb = sizeof memory;
  if (GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                           sizeof memory)) {
    c.privateMb = static_cast<double>(std::max(memory.PrivateUsage, memory.PagefileUsage)) / 1e6;
    c.workingSetMb = static_cast<double>(memory.WorkingSetSize) / 1e6;
  }
  return c;
}

// Wine reports no handle, GDI or USER counts for a process (all 0); Windows does.
void Print(const char* when, const Counters& c) {
  std::printf("%-6s handles %5lu  GDI %4lu  USER %4lu  private %7.1f MB  working set %7.1f MB\n",
              when, c.handles, c.gdi, c.user, c.privateMb, c.workingSetMb);
}

struct Outcome {
  int dropped = 0, messages = 0;
  Counters start, end;
  std::size_t sent = 0, waiting = 0;
  bool launcherRan = false;
};

// A complete request file appears in OUT at once: written beside it first.
void DropRequest(const fs::path& erp, int n) {
  const fs::path staged = erp / ("soak" + std::to_string(n) + ".tmp");
  std::ofstream(staged, std::ios::binary)
      << "915 soak request " << n << " " << std::string(200, 'x');
  fs::rename(staged, erp / "OUT" / ("soak" + std::to_string(n) + ".dat"));
}

void LeaveMessage(const fs::path& data, int n) {
  const fs::path folder = data / "messages" / std::to_string(velmora::standins::kSampleClientCode);
  fs::create_directories(folder);
  const fs::path staged = folder / (".soak" + std::to_string(n));
  std::ofstream(staged, std::ios::binary) << "08.12.2026 10:00:00 Mesaj de proba " << n;
  fs::rename(staged, folder / ("soak" + std::to_string(n) + ".txt"));
}

// Closes whatever the launcher shows besides its main window (a new-message
// alert, the history it opens), so the run goes on unattended.
void AnswerBoxes(const DrivenProgram& launcher, HWND main) {
  for (HWND window : launcher.TopLevelWindows())
    if (window != main && IsWindowVisible(window) &&
        velmora::testing::ClassNameOf(window) == "#32770")
      velmora::testing::PostCommand(window, GetDlgItem(window, IDOK) != nullptr ? IDOK : IDCANCEL);
}

std::size_t FilesIn(const fs::path& folder) {
  std::size_t n = 0;
  for (const auto& entry : fs::directory_iterator(folder)) n += entry.is_regular_file() ? 1 : 0;
  return n;
}

// The whole run in `scratch`; false when it could not be set up.
bool Soak(const fs::path& scratch, std::chrono::seconds duration, Outcome& out) {
  if (!velmora::standins::BuildSampleSuite(scratch / "suite", VELMORA_BIN_DIR).ok()) {
    std::printf("the sample suite is incomplete\n");
    return false;
  }
  const fs::path erp = scratch / "suite" / "ERP";
  velmora::testing::ReferenceServer server(VELMORA_SERVER_EXE, VELMORA_SERVER_ROOT,
                                           scratch / "data", {},
                                           static_cast<int>(duration.count()) + 300);
  if (!server.listening()) {
    std::printf("the server did not start\n");
    return false;
  }
  std::ofstream(erp / "iplist.txt") << server.address() << "\r\n";

  DrivenProgram launcher((erp / "velmora.exe").string(), "", erp.string());
  HWND main = launcher.WaitForWindow("Corvane - CU", 30s);
  if (main == nullptr) {
    std::printf("the launcher's window did not appear\n");
    return false;
  }
  HANDLE process =
      OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, launcher.processId());
  DropRequest(erp, ++out.dropped);
  if (!velmora::testing::WaitUntil([&] { return FilesIn(erp / "SENT") > 0; }, kSettleLimit))
    std::printf("the first file was not sent within %lld s\n",
                static_cast<long long>(kSettleLimit.count()));
  out.start = Read(process);

  const auto begin = Clock::now();
  auto nextMessage = begin;
  while (Clock::now() - begin < duration && launcher.IsRunning()) {
    DropRequest(erp, ++out.dropped);
    if (Clock::now() >= nextMessage) {
      LeaveMessage(scratch / "data", ++out.messages);
      nextMessage += kMessageEvery;
    }
    AnswerBoxes(launcher, main);
    Sleep(static_cast<DWORD>(std::chrono::milliseconds(kDropEvery).count()));
  }
  out.end = Read(process);
  CloseHandle(process);
  velmora::testing::WaitUntil([&] { return FilesIn(erp / "OUT") == 0; }, kDrainLimit);
  out.sent = FilesIn(erp / "SENT");
  out.waiting = FilesIn(erp / "OUT");
  out.launcherRan = launcher.IsRunning();
  velmora::testing::PostCommand(main, IDCANCEL);
  launcher.WaitForExit(10s);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  const auto duration = std::chrono::seconds(argc > 1 ? std::atoi(argv[1]) : 60);
  const fs::path scratch = fs::path("C:\\") / ("vsoak" + std::to_string(GetCurrentProcessId()));
  std::error_code ignored;
  fs::remove_all(scratch, ignored);
  Outcome out;
  const bool ran = Soak(scratch, duration, out);
  fs::remove_all(scratch, ignored);
  if (!ran) return 2;

  const long lost = static_cast<long>(out.dropped) - static_cast<long>(out.sent + out.waiting);
  std::printf("soak of %lld s: %d request files dropped, %d messages left for the client\n",
              static_cast<long long>(duration.count()), out.dropped, out.messages);
  Print("start", out.start);
  Print("end", out.end);
  std::printf("growth: handles %+ld  GDI %+ld  USER %+ld  private %+.1f MB  working set %+.1f MB\n",
              static_cast<long>(out.end.handles) - static_cast<long>(out.start.handles),
              static_cast<long>(out.end.gdi) - static_cast<long>(out.start.gdi),
              static_cast<long>(out.end.user) - static_cast<long>(out.start.user),
              out.end.privateMb - out.start.privateMb,
              out.end.workingSetMb - out.start.workingSetMb);
  std::printf("files: %zu in SENT, %zu still in OUT, %ld lost; launcher %s\n", out.sent,
              out.waiting, lost, out.launcherRan ? "ran to the end" : "ENDED EARLY");
  return lost == 0 && out.launcherRan ? 0 : 1;
}
