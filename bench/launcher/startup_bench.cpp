// Start-up time and memory of the launcher beside a minimal dialog program
// that runs the same synchronisation stand-in first (both under wine here).
// Each round builds a fresh sample suite, starts the reference server on a
// loopback address of its own, then starts the launcher and the minimal
// program in turn: the time from CreateProcess to the main window being
// visible, and the peak working set and private bytes once the launcher has
// fetched its news and run a postman pass. Prints medians, figures only, and
// the comparisons as `row: <measure (unit)>; <figure>; <reference>; <ratio>`
// lines. The minimal program runs twice: bare, and with the duties any
// program doing the launcher's job takes on under wine (the common controls 6
// manifest, the greeting, two background threads with hidden dialogs and a
// connection to the server; minimal_duties.h), which splits the launcher's
// figures into what those duties cost and what its own window and work cost.
// Given another build's program folder, its launcher runs in the same rounds,
// in a sample suite made from that folder, for a before-and-after.

#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
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
// Long enough for the duties' sound and threads to have loaded what they load.
constexpr auto kDutiesSettle = 3s;
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
    if (IsWindowVisible(window) && velmora::testing::TitleOf(window).starts_with(prefix))
      return window;
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
  HANDLE process =
      OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, program.processId());
  PROCESS_MEMORY_COUNTERS_EX counters{};
  counters.cb = sizeof counters;
  if (process != nullptr &&
      GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                           sizeof counters)) {
    sample.peakWorkingSetMb = static_cast<double>(counters.PeakWorkingSetSize) / 1e6;
    // Private bytes: Windows reports the same figure as PagefileUsage, the one wine fills in.
    sample.privateMb =
        static_cast<double>(std::max(counters.PrivateUsage, counters.PagefileUsage)) / 1e6;
  }
  if (process != nullptr) CloseHandle(process);
  velmora::testing::PostCommand(window, IDCANCEL);
  program.WaitForExit(10s);
  return sample;
}

// The programs a round starts: the minimal dialog and the launcher, and the
// launcher of another build when one is given, each in its own sample suite.
struct Contender {
  std::string name;
  fs::path bin;         // the build's program folder
  std::string program;  // its file name there
  std::string title;    // how its main window's title starts
  std::chrono::milliseconds settle;
  fs::path exe;  // set per round
  std::vector<Sample> samples;
};

Contender Launcher(std::string name, fs::path bin, std::chrono::milliseconds settle) {
  return {std::move(name), std::move(bin), "velmora.exe", "Corvane - CU", settle, {}, {}};
}

Contender Minimal(std::string name, std::string program, std::chrono::milliseconds settle) {
  return {std::move(name), VELMORA_BIN_DIR, std::move(program), "Minimal dialog", settle, {}, {}};
}

double MedianOf(const std::vector<Sample>& samples, double Sample::*field) {
  std::vector<double> values;
  for (const Sample& s : samples) values.push_back(s.*field);
  return Median(values);
}

void PrintRows(const Contender& program, const Contender& reference) {
  const struct {
    const char* measure;
    double Sample::*field;
    const char* unit;
    int decimals;
  } kRows[] = {
      {"start-up to the main window", &Sample::seconds, "s", 3},
      {"peak working set after news and a postman pass", &Sample::peakWorkingSetMb, "MB", 1},
      {"private bytes after news and a postman pass", &Sample::privateMb, "MB", 1},
  };
  for (const auto& row : kRows) {
    const double figure = MedianOf(program.samples, row.field),
                 base = MedianOf(reference.samples, row.field);
    const std::string of = program.name == "velmora.exe" ? "" : " of " + program.name;
    std::printf("row: %s%s, vs %s (%s); %.*f; %.*f; %.2f\n", row.measure, of.c_str(),
                reference.name.c_str(), row.unit, row.decimals, figure, row.decimals, base,
                figure / base);
  }
}

}  // namespace

// startup_bench [rounds] [settle seconds of the launcher] [program folder of another build]:
// a short settle measures start-up alone (the memory figures then come before
// the postman's pass); another build's launcher is measured in the same rounds.
int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : kDefaultRounds;
  const std::chrono::milliseconds launcherSettle =
      argc > 2 ? std::chrono::milliseconds(static_cast<long long>(std::atof(argv[2]) * 1000))
               : kLauncherSettle;
  const fs::path bin = VELMORA_BIN_DIR;
  const fs::path scratch = fs::path("C:\\") / ("vbench" + std::to_string(GetCurrentProcessId()));
  std::vector<Contender> programs = {
      Launcher("velmora.exe", bin, launcherSettle),
      Minimal("the minimal dialog", "minimal_dialog.exe", kMinimalSettle),
      Minimal("the minimal dialog with the launcher's duties", "minimal_dialog_duties.exe",
              kDutiesSettle)};
  if (argc > 3) programs.push_back(Launcher("the other build", fs::path(argv[3]), launcherSettle));
  for (int round = 0; round < rounds; ++round) {
    fs::remove_all(scratch);
    velmora::testing::ReferenceServer server(VELMORA_SERVER_EXE, VELMORA_SERVER_ROOT,
                                             scratch / "data");
    for (std::size_t i = 0; i < programs.size(); ++i) {
      Contender& program = programs[i];
      const fs::path suite = scratch / ("suite" + std::to_string(i));
      const auto report = velmora::standins::BuildSampleSuite(suite, program.bin);
      if (!report.ok()) {
        std::printf("sample suite incomplete: %s missing\n",
                    report.missingPrograms.front().c_str());
        return 1;
      }
      const fs::path erp = suite / "ERP";
      std::ofstream(erp / "iplist.txt") << server.address() << "\r\n";
      program.exe = erp / program.program;
      if (!fs::exists(program.exe)) fs::copy_file(program.bin / program.program, program.exe);
    }
    // Interleaved, the order turning each round, so a drift of the machine hits all alike.
    for (std::size_t turn = 0; turn < programs.size(); ++turn) {
      Contender& program = programs[(turn + static_cast<std::size_t>(round)) % programs.size()];
      std::this_thread::sleep_for(kQuietBeforeStart);
      const auto sample =
          Measure(program.exe, program.exe.parent_path(), program.title, program.settle);
      if (!sample) {
        std::printf("%s did not show its window\n", program.name.c_str());
        return 1;
      }
      std::printf("round %d: %-18s start-up %.3f s, peak working set %.1f MB, private %.1f MB\n",
                  round + 1, program.name.c_str(), sample->seconds, sample->peakWorkingSetMb,
                  sample->privateMb);
      program.samples.push_back(*sample);
    }
  }
  fs::remove_all(scratch);

  std::printf(
      "start-up and memory under wine, medians of %d interleaved rounds, fresh sample suite each\n",
      rounds);
  PrintRows(programs[0], programs[1]);
  PrintRows(programs[0], programs[2]);
  PrintRows(programs[2], programs[1]);
  if (programs.size() > 3) {
    PrintRows(programs[3], programs[1]);
    PrintRows(programs[0], programs[3]);
  }
  return 0;
}
