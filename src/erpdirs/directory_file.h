#pragma once
// Load-or-create, open, read and write of the suite's directory files. Each
// file is kept in memory as one image of all its records (record n at byte
// (n - 1) * 512 of the image) and always transferred whole. The failures end
// in a 16-bit status (0 success, 1 failure) and an 80-character message.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
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
  // Reads the records into the image; returns the status (0 success).
  int16_t (*readRecords)(RecordFile& file, std::span<char> image);
};

// The 80-character message of a failure, e.g. "** Eroare Citire fisier DIRKEL.DAT **".
std::string LoadFailureMessage(LoadFailure failure, std::string_view fileName);
DirectoryFileResult ResultOf(LoadFailure failure, std::string_view fileName);

// Reads records 1, 2, ... into the image, one 512-byte slice each. Stops at
// the first record that cannot be read (status 1); the records read before it
// stay in the image, the rest of the image keeps its earlier content.
int16_t ReadDirectoryRecords(RecordFile& file, std::span<char> image);

// Writes records 1, 2, ... from the image; status 1 as soon as one fails.
int16_t WriteDirectoryRecords(RecordFile& file, std::span<const char> image);

// Reads the file into the image, creating it with its defaults first when it
// is missing. A new file that cannot be written is removed again, so that the
// next start creates it afresh instead of tripping over an empty file.
LoadFailure LoadDirectoryFile(RecordFileSystem& files, const DirectoryFileKind& kind, std::span<char> image);

// Opens the existing file; on failure status 1 and the "Deschidere" message.
std::unique_ptr<RecordFile> OpenDirectoryFile(RecordFileSystem& files, const DirectoryFileKind& kind,
                                              DirectoryFileResult& result);

// The refresh done at every start: load (creating when missing), open, let
// `setPaths` change the image, write all records (errors ignored), close.
struct RefreshOutcome {
  DirectoryFileResult load;  // to be shown when its status is not 0
  bool opened = false;       // the file could be opened and was written
};
RefreshOutcome RefreshDirectoryFile(RecordFileSystem& files, const DirectoryFileKind& kind, std::span<char> image,
                                    const std::function<void(std::span<char>)>& setPaths);

}  // namespace velmora::erpdirs
