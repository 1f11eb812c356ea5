#pragma once
// Files of fixed 512-byte records without header or framing: record n lies at
// byte (n - 1) * 512. The directory files of the suite and its keyed files are
// all of this kind. The loaders work through these two small interfaces, so
// the same code runs on the current directory of a Windows process and on
// files held in memory (tests, fuzzing).

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string_view>

namespace velmora::erpdirs {

inline constexpr std::size_t kRecordSize = 512;
using Record = std::array<char, kRecordSize>;

// One open file. Closing it is destroying it.
class RecordFile {
 public:
  virtual ~RecordFile() = default;
  // False when the record cannot be read whole (past the end, short, I/O error).
  virtual bool ReadRecord(int number, std::span<char, kRecordSize> into) = 0;
  // True when the file holds any byte of the record, even one it could not
  // read; false for a record wholly beyond the end. When the size cannot be
  // told, the record counts as held.
  virtual bool HoldsRecord(int number) = 0;
  virtual bool WriteRecord(int number, std::span<const char, kRecordSize> from) = 0;
  // Writes the records `first`, `first` + 1, ... held one after the other in
  // `from` (whole records only). A file on disk writes them in one call; the
  // default writes them one by one. False at the first record not written.
  virtual bool WriteRecords(int first, std::span<const char> from) {
    for (std::size_t at = 0; at + kRecordSize <= from.size(); at += kRecordSize)
      if (!WriteRecord(first++, from.subspan(at).first<kRecordSize>())) return false;
    return true;
  }
};

// The folder the files are named in (the process's current directory).
class RecordFileSystem {
 public:
  virtual ~RecordFileSystem() = default;
  virtual bool Exists(std::string_view name) = 0;
  // Creates a file that must not exist yet; null when that fails.
  virtual std::unique_ptr<RecordFile> CreateNew(std::string_view name) = 0;
  // Opens an existing file for reading and writing; null when that fails.
  virtual std::unique_ptr<RecordFile> OpenExisting(std::string_view name) = 0;
  // Removes a file; used only to take back a file this program has just
  // created and could not fill.
  virtual bool Remove(std::string_view name) = 0;
};

}  // namespace velmora::erpdirs
