// Time to open the message history (dialog 150 created, filled from
// inbox.dat and destroyed) with 10, 1,000 and 10,000 archived entries (the
// median of five opens after a first that warms the file cache), and
// for comparison the time to fill the same grid by inserting every entry at
// row 1, which moves every earlier row once per entry. Prints figures only,
// the comparisons also as `row: <measure (unit)>; <figure>; <reference>;
// <ratio>` lines: each size beside the insert-at-top fill, and 10,000
// entries beside ten times the 1,000-entry figure (linear growth).
//
//   cmake --build build/win64 --target messages_bench
//   scripts/wine-run.sh build/win64/bench/messages/messages_bench.exe

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "listctl/list_class.h"
#include "listctl/list_operations.h"
#include "messages/history_rows.h"
#include "messages/inbox_format.h"
#include "messages/messages.h"

using namespace velmora;
using Clock = std::chrono::steady_clock;

namespace {

void WriteArchive(const std::string& path, int entries) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  for (int i = 0; i < entries; ++i) {
    const messages::StampTime t{2026, 1 + i % 12, 1 + i % 28, i % 24, i % 60, i % 60};
    const std::string text = "Mesajul " + std::to_string(i) + "\r\nal doilea rand al mesajului";
    out << (i % 2 == 0
                ? messages::InboxEntryBytes(messages::OwnBody(t, text), messages::OwnAuthor(4711))
                : messages::InboxEntryBytes(messages::MessageStamp(t).substr(0, 20) + text,
                                            "Corvane"));
  }
}

double Milliseconds(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double OpenHistory() {
  const auto start = Clock::now();
  const HWND dialog = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(150), nullptr,
                                         &messages::MessageHistoryProc, 1);
  const double elapsed = Milliseconds(start);
  DestroyWindow(dialog);
  return elapsed;
}

INT_PTR CALLBACK PlainDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

// The grid filled the way the history would be with an insert at row 1 per entry.
double FillByInsertingAtTop() {
  const auto start = Clock::now();
  const HWND dialog = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(150), nullptr,
                                         &PlainDialogProc, 0);
  const HWND list = GetDlgItem(dialog, 1023);
  for (int c = 0; c < 4; ++c) listctl::AddListColumn(list, 100, DT_CENTER, DT_LEFT, "Mesaj");
  for (const messages::InboxEntry& entry : messages::ReadInbox()) {
    if (listctl::InsertListRow(list, 1) != 0 && listctl::AppendListRow(list) != 0) break;
    listctl::SetListCellText(list, 1, 1, entry.dateLine, 0);
    listctl::SetListCellText(list, 1, 2, entry.author, 0);
    listctl::SetListCellText(list, 1, 3, entry.message, 0);
    listctl::SetListCellText(list, 1, 4, entry.message, 0);
  }
  const double elapsed = Milliseconds(start);
  DestroyWindow(dialog);
  return elapsed;
}

}  // namespace

int main() {
  listctl::RegisterListClass(GetModuleHandleA(nullptr));
  const auto folder = std::filesystem::temp_directory_path() /
                      ("velmora_history_bench_" + std::to_string(GetCurrentProcessId()));
  std::filesystem::create_directories(folder / "ERP");
  messages::MessagesSetup setup;
  setup.instance = GetModuleHandleA(nullptr);
  setup.inboxFile = (folder / "ERP" / "inbox.dat").string();
  setup.outgoingFolder = (folder / "ERP" / "OUT").string() + "\\";
  messages::ConfigureMessages(setup);

  constexpr int kRuns = 5;
  std::printf("%10s %16s %22s\n", "entries", "open history ms", "insert-at-top fill ms");
  constexpr int kSizes[] = {10, 1000, 10000};
  double opened[3] = {}, filled[3] = {};
  for (std::size_t size = 0; size < 3; ++size) {
    const int entries = kSizes[size];
    WriteArchive(messages::ConfiguredMessagesSetup().inboxFile, entries);
    OpenHistory();  // warm the file cache
    double runs[kRuns];
    for (double& run : runs) run = OpenHistory();
    std::sort(std::begin(runs), std::end(runs));
    const double median = runs[kRuns / 2];
    const double inserted = FillByInsertingAtTop();
    std::printf("%10d %16.1f %22.1f\n", entries, median, inserted);
    opened[size] = median;
    filled[size] = inserted;
  }
  for (std::size_t size = 0; size < 3; ++size)
    std::printf("row: history open, %d entries, vs the insert-at-top fill (ms); %.1f; %.1f; %.4f\n",
                kSizes[size], opened[size], filled[size], opened[size] / filled[size]);
  std::printf(
      "row: history open, 10000 entries, vs 10 x the 1000-entry figure (ms); %.1f; %.1f; %.2f\n",
      opened[2], 10 * opened[1], opened[2] / (10 * opened[1]));
  std::filesystem::remove_all(folder);
  return 0;
}
