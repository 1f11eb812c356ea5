#include "erpdirs/directory_file.h"

#include <algorithm>

#include "common/fixed_text.h"

namespace velmora::erpdirs {

std::string LoadFailureMessage(LoadFailure failure, std::string_view fileName) {
  const std::string name(fileName);
  std::string text;
  switch (failure) {
    case LoadFailure::kNone: break;
    case LoadFailure::kCreate: text = "** Spatiu insuficient pentru fisierul " + name + " **"; break;
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

int16_t ReadDirectoryRecords(RecordFile& file, std::span<char> image) {
  Record scratch;
  const int count = static_cast<int>(image.size() / kRecordSize);
  for (int n = 1; n <= count; ++n) {
    if (!file.ReadRecord(n, scratch)) return 1;
    std::copy(scratch.begin(), scratch.end(), image.begin() + static_cast<std::ptrdiff_t>((n - 1) * kRecordSize));
  }
  return 0;
}

int16_t WriteDirectoryRecords(RecordFile& file, std::span<const char> image) {
  return file.WriteRecords(1, image.first(image.size() / kRecordSize * kRecordSize)) ? 0 : 1;
}

LoadFailure LoadDirectoryFile(RecordFileSystem& files, const DirectoryFileKind& kind, std::span<char> image) {
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
  return kind.readRecords(*file, image) == 0 ? LoadFailure::kNone : LoadFailure::kRead;
}

std::unique_ptr<RecordFile> OpenDirectoryFile(RecordFileSystem& files, const DirectoryFileKind& kind,
                                              DirectoryFileResult& result) {
  auto file = files.OpenExisting(kind.name);
  result = ResultOf(file ? LoadFailure::kNone : LoadFailure::kOpen, kind.name);
  return file;
}

RefreshOutcome RefreshDirectoryFile(RecordFileSystem& files, const DirectoryFileKind& kind, std::span<char> image,
                                    const std::function<void(std::span<char>)>& setPaths) {
  RefreshOutcome outcome;
  outcome.load = ResultOf(LoadDirectoryFile(files, kind, image), kind.name);
  DirectoryFileResult openResult;
  auto file = OpenDirectoryFile(files, kind, openResult);
  if (!file) return outcome;
  if (setPaths) setPaths(image);
  WriteDirectoryRecords(*file, image.first(static_cast<std::size_t>(kind.recordCount) * kRecordSize));
  outcome.opened = true;
  return outcome;
}

}  // namespace velmora::erpdirs
