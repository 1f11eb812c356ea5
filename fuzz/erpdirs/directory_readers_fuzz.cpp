// libFuzzer target: arbitrary bytes as the suite's directory files, read and
// refreshed through every loader, plus the index sort and the text search
// driven by the same bytes. Any out-of-bounds access is caught by the
// sanitizers; the checks below catch wrong results.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "erpdirs/documents_directory_image.h"
#include "erpdirs/environment_steps.h"
#include "erpdirs/erp_directory_image.h"
#include "erpdirs/index_sort.h"
#include "erpdirs/memory_record_files.h"
#include "erpdirs/payroll_directory_image.h"
#include "erpdirs/text_search.h"

namespace {

using namespace velmora::erpdirs;

void Check(bool condition) {
  if (!condition) std::abort();
}

std::string Path40(std::string text) {
  text.resize(40, ' ');
  return text;
}

// A record the file holds (some of its bytes are there) but that cannot be
// read whole: the refresh must leave it as it was.
bool HeldButUnread(int n, std::size_t size, int failingRecord) {
  const std::size_t from = static_cast<std::size_t>(n - 1) * kRecordSize;
  return size > from && (size < from + kRecordSize || n == failingRecord);
}

void CheckUnreadRecordsKept(std::string_view before, std::string_view after, int records,
                            int failingRecord) {
  for (int n = 1; n <= records; ++n) {
    const std::size_t from = static_cast<std::size_t>(n - 1) * kRecordSize;
    if (!HeldButUnread(n, before.size(), failingRecord)) continue;
    // The bytes that are there stay; a later record written may fill the
    // rest of a record cut short.
    const std::string_view held = before.substr(from, kRecordSize);
    Check(after.substr(from, held.size()) == held);
  }
}

void FuzzDirectoryFiles(uint8_t faults, std::string_view bytes) {
  const std::string start = "D:\\Suite\\ERP";
  const std::string root = "D:\\Suite\\";
  const int failingRecord = faults & 0x1F;  // 0 or beyond 16: no fault

  {
    MemoryRecordFileSystem files;
    files.Put("DIRERP.DAT", std::string(bytes));
    if (failingRecord) files.faults().readRecords = {failingRecord};
    ErpDirectoryImage image;
    image.fill(' ');
    const auto outcome = RefreshErpDirectoryFile(files, image, start);
    Check(outcome.opened);
    Check((outcome.load.status == 0) ==
          (bytes.size() >= 2048 && (failingRecord == 0 || failingRecord > 4)));
    const std::string after = files.Get("DIRERP.DAT");
    CheckUnreadRecordsKept(bytes, after, 4, failingRecord);
    const bool lastKept = HeldButUnread(4, bytes.size(), failingRecord);
    Check(after.size() == (lastKept ? bytes.size() : std::max<std::size_t>(bytes.size(), 2048)));
    if (!HeldButUnread(3, bytes.size(), failingRecord))
      Check(after.substr(1024, 40) == Path40(root + "VANTOR"));
    if (bytes.size() > 2048) Check(after.substr(2048) == bytes.substr(2048));
  }

  for (const ModuleStep& step : ModuleSteps()) {
    MemoryRecordFileSystem files;
    files.Put(step.file->name, std::string(bytes));
    if (failingRecord) files.faults().readRecords = {failingRecord};
    const std::size_t size = static_cast<std::size_t>(step.file->recordCount) * kRecordSize;
    std::string image(size, ' ');
    const auto outcome = RefreshModuleDirectoryFile(files, step, image, start, root);
    Check(outcome.opened);
    Check(outcome.load.status == 0 || outcome.load.status == 1);
    Check(outcome.load.message.size() == 80);
    const std::string after = files.Get(step.file->name);
    Check(after.size() >= bytes.size() && after.size() <= std::max(bytes.size(), size));
    if (step.file != &kPayrollDirectoryFile)
      CheckUnreadRecordsKept(bytes, after, step.file->recordCount, failingRecord);
    if (bytes.size() > size) Check(after.substr(size) == bytes.substr(size));
    if (step.file == &kPayrollDirectoryFile && outcome.load.status == 0) {
      // Tables the old file did not hold whole are empty.
      const auto count = [&](std::size_t at) {
        return static_cast<uint8_t>(after[at]) | static_cast<uint8_t>(after[at + 1]);
      };
      if (bytes.size() < 6 * kRecordSize || failingRecord == 5 || failingRecord == 6)
        Check(count(18) == 0);
      if (bytes.size() < 12 * kRecordSize || failingRecord == 11 || failingRecord == 12)
        Check(count(220) == 0);
      if (bytes.size() < 14 * kRecordSize || failingRecord == 13 || failingRecord == 14)
        Check(count(206) == 0);
      if (bytes.size() < 16 * kRecordSize || failingRecord == 15 || failingRecord == 16)
        Check(count(208) == 0);
    }
  }

  {
    MemoryRecordFileSystem files;
    files.Put("DIRVAN.DAT", std::string(bytes));
    if (failingRecord) files.faults().readRecords = {failingRecord};
    Record image;
    image.fill('X');
    const LoadFailure failure = LoadDocumentsDirectory(files, image);
    Check(failure == LoadFailure::kNone || failure == LoadFailure::kRead);
    Check(image[kDocumentsModeLetter] == 'E' || image[kDocumentsModeLetter] == 'R');
    Check(files.Get("DIRVAN.DAT") == bytes);
    const std::string path =
        DocumentsDataPath(image, bytes.substr(0, std::min<std::size_t>(bytes.size(), 20)));
    Check(path.size() == kDocumentsDataPathWidth);
    Check(path.find('\0') != std::string::npos);
  }
}

void FuzzSort(std::string_view bytes) {
  // A careless compare can make the sort quadratic; a few hundred items
  // reach every path without slowing the run down.
  bytes = bytes.substr(0, std::min<std::size_t>(bytes.size(), 600));
  std::vector<int> items(bytes.begin(), bytes.end());
  std::vector<int> expected = items;
  std::sort(expected.begin(), expected.end());
  const int count = static_cast<int>(items.size());
  SortByIndex(
      count,
      [&](int i, int j) -> int16_t {
        Check(i >= 1 && i <= count && j >= 1 && j <= count);
        const int a = items[static_cast<std::size_t>(i - 1)],
                  b = items[static_cast<std::size_t>(j - 1)];
        return static_cast<int16_t>(a < b ? -1 : a > b ? 1 : 0);
      },
      [&](int i, int j) {
        Check(i >= 1 && i <= count && j >= 1 && j <= count);
        std::swap(items[static_cast<std::size_t>(i - 1)], items[static_cast<std::size_t>(j - 1)]);
      });
  Check(items == expected);

  // A compare that answers from the input bytes, not from the items.
  std::size_t next = 0;
  SortByIndex(
      count,
      [&](int i, int j) -> int16_t {
        Check(i >= 1 && i <= count && j >= 1 && j <= count);
        const auto b = static_cast<uint8_t>(bytes[next++ % bytes.size()]);
        return static_cast<int16_t>(b % 3) - 1;
      },
      [&](int i, int j) { Check(i >= 1 && i <= count && j >= 1 && j <= count); });
}

char Fold(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }

void FuzzSearch(uint8_t split, std::string_view bytes) {
  const std::size_t cut = std::min<std::size_t>(split % 8, bytes.size());
  const std::string_view pattern = bytes.substr(0, cut);
  const std::string_view text = bytes.substr(cut);
  for (bool exact : {false, true}) {
    int expected = 0;
    if (!pattern.empty() && pattern.size() <= text.size()) {
      const auto same = [&](char a, char b) { return exact ? a == b : Fold(a) == Fold(b); };
      const auto it = std::search(text.begin(), text.end(), pattern.begin(), pattern.end(), same);
      if (it != text.end()) expected = static_cast<int>(it - text.begin()) + 1;
    }
    Check(FindTextNoCase(text, static_cast<int>(text.size()), pattern,
                         static_cast<int>(pattern.size()), exact) == expected);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  if (size < 2 || size > 20000) return 0;
  const std::string_view bytes(reinterpret_cast<const char*>(data) + 2, size - 2);
  switch (data[0] % 3) {
    case 0: FuzzDirectoryFiles(data[1], bytes); break;
    case 1:
      if (!bytes.empty()) FuzzSort(bytes);
      break;
    case 2: FuzzSearch(data[1], bytes); break;
  }
  return 0;
}
