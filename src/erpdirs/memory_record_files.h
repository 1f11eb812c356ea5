#pragma once
// Record files held in memory, with faults that can be switched on: used by
// the tests and the fuzz target to drive the loaders through every path that
// a real disk only takes when it is full, read-only or failing.

#include <map>
#include <memory>
#include <set>
#include <string>
#include <string_view>

#include "erpdirs/record_files.h"

namespace velmora::erpdirs {

class MemoryRecordFileSystem final : public RecordFileSystem {
 public:
  struct Faults {
    bool create = false;         // CreateNew fails (disk full, read-only folder)
    bool open = false;           // OpenExisting fails (locked, no access)
    std::set<int> readRecords;   // these record numbers cannot be read
    std::set<int> writeRecords;  // these record numbers cannot be written
  };

  // Names are compared without regard to case, as on Windows.
  void Put(std::string_view name, std::string bytes);
  // The file's bytes; empty and `found` false when there is no such file.
  std::string Get(std::string_view name, bool* found = nullptr) const;
  bool Has(std::string_view name) const;
  Faults& faults() { return faults_; }

  bool Exists(std::string_view name) override;
  std::unique_ptr<RecordFile> CreateNew(std::string_view name) override;
  std::unique_ptr<RecordFile> OpenExisting(std::string_view name) override;
  bool Remove(std::string_view name) override;

 private:
  static std::string Key(std::string_view name);
  std::map<std::string, std::shared_ptr<std::string>> files_;
  Faults faults_;
};

}  // namespace velmora::erpdirs
