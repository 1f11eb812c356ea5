// Start-up time and memory of the launcher beside a minimal dialog program
// that runs the same synchronisation stand-in first (both under wine here).
// Each round builds a fresh sample suite, starts the reference server on a
// loopback address of its own, then starts the launcher and the minimal
// program in turn: the time from CreateProcess to the main window being
// visible, and the peak working set and private bytes once the launcher has
// fetched its news and run a postman pass. Prints medians, figures only.

#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "sample_suite/sample_suite.h"
#include "support/driver.h"
#include "support/reference_server.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using velmora::testing::DrivenProgram;
using Clock = std::chrono::steady_clock;

constexpr int kDefaultRounds = 7;
// The launcher's news fetch runs at once; its postman's first pass starts
// 7.1 s after the news and sleeps 1.5 s first.
constexpr auto kLauncherSettle = 10s;
constexpr auto kMinimalSettle = 1s;
// A pause before each start, so that the previous program's exit and the new
// suite's files are behind us.
constexpr auto kQuietBeforeStart = 1s;
// Window checks while a program starts: often, so that the figure is not
// rounded up to the check's period.
constexpr auto kVisibleCheckPeriod = 2ms;

struct Sample {
  double seconds = 0;
  double peakWorkingSetMb = 0;
  double privateMb = 0;
};

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? 0 : values[values.size() / 2];
}

// The first visible top-level window of the program whose title starts with `prefix`.
HWND VisibleWindow(const DrivenProgram& program, std::string_view prefix) {
  for (HWND window : program.TopLevelWindows())
    if (IsWindowVisible(window) && velmora::testing::TitleOf(window).starts_with(prefix)) return window;
  return nullptr;
}

std::optional<Sample> Measure(const fs::path& exe, const fs::path& folder, std::string_view title,
                              std::chrono::milliseconds settle) {
  const auto started = Clock::now();
  DrivenProgram program(exe.string(), "", folder.string());
  if (!program.started()) return std::nullopt;
  HWND window = nullptr;
  const auto deadline = started + 30s;
  while ((window = VisibleWindow(program, title)) == nullptr && Clock::now() < deadline)
    std::this_thread::sleep_for(kVisibleCheckPeriod);
  if (window == nullptr) return std::nullopt;
  Sample sample;
  sample.seconds = std::chrono::duration<double>(Clock::now() - started).count();
  Sleep(static_cast<DWORD>(settle.count()));
  HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, program.processId());
  PROCESS_MEMORY_COUNTERS_EX counters{};
  counters.cb = sizeof counters;
  if (process != nullptr &&
      GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters)) {
    sample.peakWorkingSetMb = static_cast<double>(counters.PeakWorkingSetSize) / 1e6;
    // Private bytes: Windows reports the same figure as PagefileUsage, the one wine fills in.
    sample.privateMb = static_cast<double>(std::max(counters.PrivateUsage, counters.PagefileUsage)) / 1e6;
  }
  if (process != nullptr) CloseHandle(process);
  velmora::testing::PostCommand(window, IDCANCEL);
  program.WaitForExit(10s);
  return sample;
}

}  // namespace

// startup_bench [rounds] [settle seconds of the launcher]: a short settle
// measures start-up alone (the memory figures then come before the postman's pass).
int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : kDefaultRounds;
  const std::chrono::milliseconds launcherSettle =
      argc > 2 ? std::chrono::milliseconds(static_cast<long long>(std::atof(argv[2]) * 1000)) : kLauncherSettle;
  const fs::path bin = VELMORA_BIN_DIR;
  const fs::path scratch = fs::path("C:\\") / ("vbench" + std::to_string(GetCurrentProcessId()));
  std::vector<Sample> launcher, minimal;
  for (int round = 0; round < rounds; ++round) {
    fs::remove_all(scratch);
    const auto report = velmora::standins::BuildSampleSuite(scratch / "suite", bin);
    if (!report.ok()) {
      std::printf("sample suite incomplete: %s missing\n", report.missingPrograms.front().c_str());
      return 1;
    }
    const fs::path erp = scratch / "suite" / "ERP";
    fs::copy_file(bin / "minimal_dialog.exe", erp / "minimal_dialog.exe");
    velmora::testing::ReferenceServer server(VELMORA_SERVER_EXE, VELMORA_SERVER_ROOT, scratch / "data");
    std::ofstream(erp / "iplist.txt") << server.address() << "\r\n";
    // Interleaved, the order alternating, so a drift of the machine hits both alike.
    const bool launcherFirst = round % 2 == 0;
    for (int turn = 0; turn < 2; ++turn) {
      const bool isLauncher = (turn == 0) == launcherFirst;
      std::this_thread::sleep_for(kQuietBeforeStart);
      const auto sample = isLauncher ? Measure(erp / "velmora.exe", erp, "Corvane - CU", launcherSettle)
                                     : Measure(erp / "minimal_dialog.exe", erp, "Minimal dialog", kMinimalSettle);
      if (!sample) {
        std::printf("%s did not show its window\n", isLauncher ? "velmora.exe" : "minimal_dialog.exe");
        return 1;
      }
      std::printf("round %d: %-18s start-up %.3f s, peak working set %.1f MB, private %.1f MB\n", round + 1,
                  isLauncher ? "velmora.exe" : "minimal_dialog.exe", sample->seconds, sample->peakWorkingSetMb,
                  sample->privateMb);
      (isLauncher ? launcher : minimal).push_back(*sample);
    }
  }
  fs::remove_all(scratch);

  auto median = [](const std::vector<Sample>& samples, double Sample::*field) {
    std::vector<double> values;
    for (const Sample& s : samples) values.push_back(s.*field);
    return Median(values);
  };
  const double startLauncher = median(launcher, &Sample::seconds), startMinimal = median(minimal, &Sample::seconds);
  const double peakLauncher = median(launcher, &Sample::peakWorkingSetMb);
  const double peakMinimal = median(minimal, &Sample::peakWorkingSetMb);
  const double privateLauncher = median(launcher, &Sample::privateMb);
  const double privateMinimal = median(minimal, &Sample::privateMb);
  std::printf("start-up and memory under wine, medians of %d interleaved rounds, fresh sample suite each\n", rounds);
  std::printf("row: start-up to the main window, vs the minimal dialog (s); %.3f; %.3f; %.2f\n", startLauncher, startMinimal,
              startLauncher / startMinimal);
  std::printf("row: peak working set after news and a postman pass, vs the minimal dialog (MB); %.1f; %.1f; %.2f\n", peakLauncher,
              peakMinimal, peakLauncher / peakMinimal);
  std::printf("row: private bytes after news and a postman pass, vs the minimal dialog (MB); %.1f; %.1f; %.2f\n", privateLauncher,
              privateMinimal, privateLauncher / privateMinimal);
  return 0;
}
