// Time to open the message history (dialog 150 created, filled from
// inbox.dat and destroyed) with 10, 1,000 and 10,000 archived entries, and
// for comparison the time to fill the same grid by inserting every entry at
// row 1, which moves every earlier row once per entry. Prints figures only.
//
//   cmake --build build/win64 --target messages_bench
//   scripts/wine-run.sh build/win64/bench/messages/messages_bench.exe

#include <windows.h>

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
    out << (i % 2 == 0 ? messages::InboxEntryBytes(messages::OwnBody(t, text), messages::OwnAuthor(4711))
                       : messages::InboxEntryBytes(messages::MessageStamp(t).substr(0, 20) + text, "Corvane"));
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
  const auto folder = std::filesystem::temp_directory_path() / ("velmora_history_bench_" + std::to_string(GetCurrentProcessId()));
  std::filesystem::create_directories(folder / "ERP");
  messages::MessagesSetup setup;
  setup.instance = GetModuleHandleA(nullptr);
  setup.inboxFile = (folder / "ERP" / "inbox.dat").string();
  setup.outgoingFolder = (folder / "ERP" / "OUT").string() + "\\";
  messages::ConfigureMessages(setup);

  std::printf("%10s %16s %22s\n", "entries", "open history ms", "insert-at-top fill ms");
  for (const int entries : {10, 1000, 10000}) {
    WriteArchive(messages::Configuration().inboxFile, entries);
    OpenHistory();  // warm the file cache
    double best = 1e9;
    for (int run = 0; run < 3; ++run) best = std::min(best, OpenHistory());
    const double inserted = FillByInsertingAtTop();
    std::printf("%10d %16.1f %22.1f\n", entries, best, inserted);
  }
  std::filesystem::remove_all(folder);
  return 0;
}
