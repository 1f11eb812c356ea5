#pragma once
// The bytes the directory files must hold, written out here field by field
// from the file layouts, without any help from the code under test.

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "../support/path_fields.h"

namespace velmora::erpdirs::testing {

// A byte image being filled in by hand.
class Bytes {
 public:
  Bytes(std::size_t size, char fill) : bytes_(size, fill) {}
  explicit Bytes(std::string bytes) : bytes_(std::move(bytes)) {}

  Bytes& I16(std::size_t at, int value);
  Bytes& I32(std::size_t at, int64_t value);
  Bytes& Raw(std::size_t at, std::initializer_list<int> bytes);
  // Text placed as it is; the bytes after it keep their content.
  Bytes& Text(std::size_t at, std::string_view text);
  // Text cut or padded with blanks to `width`.
  Bytes& Field(std::size_t at, std::size_t width, std::string_view text);
  Bytes& Fill(std::size_t at, std::size_t count, char c);

  const std::string& str() const { return bytes_; }
  operator const std::string&() const { return bytes_; }

 private:
  std::string bytes_;
};

// New files, as created when missing.
std::string NewErpDirectoryFile();
std::string NewAccountingDirectoryFile();
std::string NewPayrollDirectoryFile();
std::string NewFixedAssetsDirectoryFile();
std::string NewDocumentsDirectoryFile();

// DIRVAN.DAT as the launcher writes it for a suite root (without trailing
// '\', with or without its drive) whose program directory is root\ERP.
std::string LauncherDocumentsFile(std::string_view root);

// TERTIDC.DAT as created: 2000 blocks, the header naming 1999 buckets.
std::string NewTertiaryFile();

using velmora::testing::Path40;

// The refreshed path fields written into each file for a start directory and
// a suite root (ending in '\').
void PutErpPaths(Bytes& file, std::string_view root);
void PutAccountingPaths(Bytes& file, std::string_view start, std::string_view root);
void PutPayrollPaths(Bytes& file, std::string_view start, std::string_view root);
void PutFixedAssetsPaths(Bytes& file, std::string_view start, std::string_view root);

// The files a start makes in a fresh suite: the four directory files, each
// new file with its paths put in, and TERTIDC.DAT; where each lies below the
// suite root, and its bytes.
struct ExpectedFile {
  std::string path;  // such as "KELBAR\FIRMA\DIRKEL.DAT"
  std::string bytes;
};
std::vector<ExpectedFile> FreshDirectoryFiles(std::string_view start, std::string_view root);

// The header block of a new keyed file whose bucket count is `buckets`.
std::string KeyedHeader(int32_t buckets);

// Index of the first differing byte, or -1 when equal (sizes included); for
// readable failure messages on whole-file comparisons.
long long FirstDifference(std::string_view a, std::string_view b);

}  // namespace velmora::erpdirs::testing
