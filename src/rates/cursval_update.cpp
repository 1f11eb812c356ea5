#include "rates/cursval_update.h"

#include <optional>

#include "common/fixed_text.h"
#include "common/ui_seams.h"
#include "erpdirs/documents_directory.h"
#include "rates/cursval_records.h"

namespace velmora::rates {
namespace {

constexpr char kDatName[] = "CURSVAL.DAT";
constexpr char kOldName[] = "CURSVAL.OLD";
constexpr char kTemporarySuffix[] = ".new";

std::string PathOf(std::string_view name) { return erpdirs::DocumentsDataPath(name).c_str(); }

std::optional<std::string> ReadWhole(RateFiles& files, const std::string& path) {
  const AutoHandle file = files.OpenShared(path);
  std::string bytes;
  if (!file || !files.ReadAll(file.get(), bytes)) return std::nullopt;
  return bytes;
}

// Writes `bytes` to `path` and flushes them to the disk before it is closed.
bool WriteDurably(RateFiles& files, const std::string& path, std::string_view bytes) {
  const AutoHandle file = files.Create(path);
  return file && files.WriteAll(file.get(), bytes) && files.Flush(file.get());
}

}  // namespace

bool MergeCursValFiles(RateFiles& files, const std::string& datPath, const std::string& oldPath,
                       const NewsRates& rates) {
  const std::optional<std::string> before = ReadWhole(files, datPath);
  if (!before) return false;
  const std::optional<std::string> after = MergeCursValImage(*before, rates);
  if (!after) return false;

  const std::string freshDat = datPath + kTemporarySuffix;
  const std::string freshOld = oldPath + kTemporarySuffix;
  bool done = false;
  if (WriteDurably(files, freshDat, *after) && WriteDurably(files, freshOld, *before) &&
      files.Rename(freshDat, datPath)) {
    // CURSVAL.DAT is the new file; without its backup it goes back to the old bytes.
    done = files.Rename(freshOld, oldPath);
    if (!done) files.Rename(freshOld, datPath);
  }
  files.Remove(freshDat);
  files.Remove(freshOld);
  return done;
}

int16_t ReadCursValPermission() {
  const AutoHandle file = WindowsRateFiles().OpenShared(PathOf(kDatName));
  if (!file) {
    ShowMessageBox(nullptr, "Eroare la deschiderea CursVal.dat", "Vantor - Curs valutar",
                   MB_ICONWARNING);
    return 0;
  }
  char header[kCursValRecordBytes];
  DWORD got = 0;
  if (!ReadFile(file.get(), header, sizeof header, &got, nullptr) || got != sizeof header) return 0;
  return DecodeHeader(header).updatePermission;
}

bool MergeCursValRates(const NewsRates& rates) {
  // DIRVAN.DAT is read again so that the merge follows a data directory
  // changed since the start. When that read fails the merge carries on with
  // the record read before, the one the permission was read through (a new
  // file that could not be written leaves the image with the defaults of a
  // new file, which name no data directory at all).
  const erpdirs::Record before = erpdirs::DocumentsDirectoryRecord();
  char message[80];
  const erpdirs::Record record = erpdirs::LoadDocumentsDirectoryFileQuiet(message) == 0
                                     ? erpdirs::DocumentsDirectoryRecord()
                                     : before;
  const auto path = [&](std::string_view name) {
    return std::string(erpdirs::DocumentsDataPath(record, name).c_str());
  };
  return MergeCursValFiles(WindowsRateFiles(), path(kDatName), path(kOldName), rates);
}

void UpdateCursValFromNews(std::string_view dateText, std::string_view euroText,
                           std::string_view usdText) {
  if (ReadCursValPermission() != 1) return;
  if (const std::optional<NewsRates> rates = RatesFromNews(dateText, euroText, usdText))
    MergeCursValRates(*rates);
}

}  // namespace velmora::rates
