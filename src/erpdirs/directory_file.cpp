#include "erpdirs/directory_file.h"

#include <algorithm>

#include "common/fixed_text.h"

namespace velmora::erpdirs {

std::string LoadFailureMessage(LoadFailure failure, std::string_view fileName) {
  const std::string name(fileName);
  std::string text;
  switch (failure) {
    case LoadFailure::kNone: break;
    case LoadFailure::kCreate:
      text = "** Spatiu insuficient pentru fisierul " + name + " **";
      break;
    case LoadFailure::kWrite: text = "** Eroare Scriere fisier " + name + " **"; break;
    case LoadFailure::kOpen: text = "** Eroare Deschidere fisier " + name + " **"; break;
    case LoadFailure::kRead: text = "** Eroare Citire fisier " + name + " **"; break;
  }
  return PadToWidth(text, kMessageWidth);
}

DirectoryFileResult ResultOf(LoadFailure failure, std::string_view fileName) {
  DirectoryFileResult result;
  if (failure != LoadFailure::kNone) {
    result.status = 1;
    result.message = LoadFailureMessage(failure, fileName);
  }
  return result;
}

int16_t ReadDirectoryRecords(RecordFile& file, std::span<char> image, UnreadRecords* unread) {
  Record scratch;
  int16_t status = 0;
  const int count = static_cast<int>(image.size() / kRecordSize);
  for (int n = 1; n <= count; ++n) {
    if (!file.ReadRecord(n, scratch)) {
      status = 1;
      if (unread && file.HoldsRecord(n)) unread->insert(n);
      continue;
    }
    std::copy(scratch.begin(), scratch.end(),
              image.begin() + static_cast<std::ptrdiff_t>((n - 1) * kRecordSize));
  }
  return status;
}

int16_t WriteDirectoryRecords(RecordFile& file, std::span<const char> image,
                              const UnreadRecords& skip) {
  // Runs of records between the skipped ones go out in one write each.
  const int count = static_cast<int>(image.size() / kRecordSize);
  for (int first = 1; first <= count;) {
    if (skip.contains(first)) {
      ++first;
      continue;
    }
    int end = first;
    while (end <= count && !skip.contains(end)) ++end;
    const auto run = image.subspan(static_cast<std::size_t>(first - 1) * kRecordSize,
                                   static_cast<std::size_t>(end - first) * kRecordSize);
    if (!file.WriteRecords(first, run)) return 1;
    first = end;
  }
  return 0;
}

LoadFailure LoadDirectoryFile(RecordFileSystem& files, const DirectoryFileKind& kind,
                              std::span<char> image, UnreadRecords* unread) {
  if (!files.Exists(kind.name)) {
    auto created = files.CreateNew(kind.name);
    if (!created) return LoadFailure::kCreate;
    kind.setDefaults(image);
    const auto written = image.first(static_cast<std::size_t>(kind.recordCount) * kRecordSize);
    if (WriteDirectoryRecords(*created, written) != 0) {
      created.reset();
      files.Remove(kind.name);
      return LoadFailure::kWrite;
    }
  }
  auto file = files.OpenExisting(kind.name);
  if (!file) return LoadFailure::kOpen;
  return kind.readRecords(*file, image, unread) == 0 ? LoadFailure::kNone : LoadFailure::kRead;
}

std::unique_ptr<RecordFile> OpenDirectoryFile(RecordFileSystem& files,
                                              const DirectoryFileKind& kind,
                                              DirectoryFileResult& result) {
  auto file = files.OpenExisting(kind.name);
  result = ResultOf(file ? LoadFailure::kNone : LoadFailure::kOpen, kind.name);
  return file;
}

RefreshOutcome RefreshDirectoryFile(RecordFileSystem& files, const DirectoryFileKind& kind,
                                    std::span<char> image,
                                    const std::function<void(std::span<char>)>& setPaths,
                                    const LoadReport& reportLoad) {
  RefreshOutcome outcome;
  UnreadRecords unread;
  outcome.load = ResultOf(LoadDirectoryFile(files, kind, image, &unread), kind.name);
  if (reportLoad) reportLoad(outcome.load);
  DirectoryFileResult openResult;
  auto file = OpenDirectoryFile(files, kind, openResult);
  if (!file) return outcome;
  if (setPaths) setPaths(image);
  WriteDirectoryRecords(
      *file, image.first(static_cast<std::size_t>(kind.recordCount) * kRecordSize), unread);
  outcome.opened = true;
  return outcome;
}

}  // namespace velmora::erpdirs
