#pragma once
// The file steps of the rate-file update, one call each, behind a small
// interface so that tests can make any single step fail (or stop everything
// from a step on, as a crash would).

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "common/win_handles.h"

namespace velmora::rates {

class RateFiles {
 public:
  virtual ~RateFiles() = default;
  // An existing file opened for reading, sharing everything with the
  // documents module, which may have it open too.
  virtual AutoHandle OpenShared(const std::string& path) = 0;
  // A new or emptied file opened for writing; nobody else may open it meanwhile.
  virtual AutoHandle Create(const std::string& path) = 0;
  // The whole file; false on any short read.
  virtual bool ReadAll(HANDLE file, std::string& bytes) = 0;
  virtual bool WriteAll(HANDLE file, std::string_view bytes) = 0;
  virtual bool Flush(HANDLE file) = 0;
  // Gives `from` the name `to`, replacing a file of that name in one step.
  // Fails while another process has `to` open.
  virtual bool Rename(const std::string& from, const std::string& to) = 0;
  virtual bool Remove(const std::string& path) = 0;
};

// The real files.
RateFiles& WindowsRateFiles();

// MoveFileExA with replacement, falling back to MoveFileA (and a delete of
// the target) where the former is not implemented. Trailing blanks of both
// names are ignored. 0 on success; 2 a name longer than 260 characters or
// the file not found, 18 another drive, 13 any other failure.
int RenameReplacing(std::string_view fromPath, std::string_view toPath);

}  // namespace velmora::rates
