#pragma once
// Load-or-create, open, read and write of the suite's directory files. Each
// file is kept in memory as one image of all its records (record n at byte
// (n - 1) * 512 of the image) and always transferred whole. The failures end
// in a 16-bit status (0 success, 1 failure) and an 80-character message.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <set>
#include <span>
#include <string>
#include <string_view>

#include "erpdirs/record_files.h"

namespace velmora::erpdirs {

inline constexpr std::size_t kMessageWidth = 80;

// Where loading stopped.
enum class LoadFailure {
  kNone,
  kCreate,  // missing and could not be created
  kWrite,   // created, but its records could not be written
  kOpen,    // exists but cannot be opened
  kRead,    // too short or unreadable
};

// Numbers of the records that lie in the file, whole or in part, but could
// not be read whole: another program holds a byte-range lock on them, the
// disk fails, or the file ends inside one. What they hold is unknown to the
// program, so they are never written back; a record wholly beyond the end of
// a short file holds nothing and is not among them.
using UnreadRecords = std::set<int>;

struct DirectoryFileResult {
  int16_t status = 0;
  std::string message = std::string(kMessageWidth, ' ');
};

// One kind of directory file.
struct DirectoryFileKind {
  std::string_view name;  // "DIRERP.DAT"
  int recordCount;        // records created and written
  // Fills the whole image with the values of a new file.
  void (*setDefaults)(std::span<char> image);
  // Reads the records into the image; returns the status (0 success) and
  // adds the records held in the file but not read to `unread` (if given).
  int16_t (*readRecords)(RecordFile& file, std::span<char> image, UnreadRecords* unread);
};

// The 80-character message of a failure, e.g. "** Eroare Citire fisier DIRKEL.DAT **".
std::string LoadFailureMessage(LoadFailure failure, std::string_view fileName);
DirectoryFileResult ResultOf(LoadFailure failure, std::string_view fileName);

// Reads records 1, 2, ... in turn into the image, one 512-byte slice each.
// A record that cannot be read sets status 1 and keeps its earlier content
// in the image; the reading goes on with the next record, so that everything
// readable is in the image.
int16_t ReadDirectoryRecords(RecordFile& file, std::span<char> image,
                             UnreadRecords* unread = nullptr);

// Writes records 1, 2, ... from the image, leaving out those in `skip`;
// status 1 as soon as one fails.
int16_t WriteDirectoryRecords(RecordFile& file, std::span<const char> image,
                              const UnreadRecords& skip = {});

// Reads the file into the image, creating it with its defaults first when it
// is missing. A new file that cannot be written is removed again, so that the
// next start creates it afresh instead of tripping over an empty file.
LoadFailure LoadDirectoryFile(RecordFileSystem& files, const DirectoryFileKind& kind,
                              std::span<char> image, UnreadRecords* unread = nullptr);

// Opens the existing file; on failure status 1 and the "Deschidere" message.
std::unique_ptr<RecordFile> OpenDirectoryFile(RecordFileSystem& files,
                                              const DirectoryFileKind& kind,
                                              DirectoryFileResult& result);

// The refresh done at every start: load (creating when missing), hand the
// load's result to `reportLoad` (which shows a failure before anything is
// written), open, let `setPaths` change the image, write the records back
// (errors ignored), close. A record held in the file that could not be read
// is not written: its bytes stay as they are on disk.
struct RefreshOutcome {
  DirectoryFileResult load;  // to be shown when its status is not 0
  bool opened = false;       // the file could be opened and was written
};
using LoadReport = std::function<void(const DirectoryFileResult&)>;
RefreshOutcome RefreshDirectoryFile(RecordFileSystem& files, const DirectoryFileKind& kind,
                                    std::span<char> image,
                                    const std::function<void(std::span<char>)>& setPaths,
                                    const LoadReport& reportLoad = nullptr);

}  // namespace velmora::erpdirs
