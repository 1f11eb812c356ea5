#include "erpdirs/memory_record_files.h"

#include <algorithm>
#include <cstring>

namespace velmora::erpdirs {
namespace {

class MemoryRecordFile final : public RecordFile {
 public:
  MemoryRecordFile(std::shared_ptr<std::string> bytes, const MemoryRecordFileSystem::Faults& faults)
      : bytes_(std::move(bytes)), faults_(faults) {}

  bool ReadRecord(int number, std::span<char, kRecordSize> into) override {
    if (number < 1 || faults_.readRecords.contains(number)) return false;
    const std::size_t offset = static_cast<std::size_t>(number - 1) * kRecordSize;
    if (bytes_->size() < offset + kRecordSize) return false;
    std::memcpy(into.data(), bytes_->data() + offset, kRecordSize);
    return true;
  }

  bool HoldsRecord(int number) override {
    return number >= 1 && bytes_->size() > static_cast<std::size_t>(number - 1) * kRecordSize;
  }

  bool WriteRecord(int number, std::span<const char, kRecordSize> from) override {
    if (number < 1 || faults_.writeRecords.contains(number)) return false;
    const std::size_t offset = static_cast<std::size_t>(number - 1) * kRecordSize;
    // Writing past the end leaves zero bytes in any gap, as a file system does.
    if (bytes_->size() < offset + kRecordSize) bytes_->resize(offset + kRecordSize, '\0');
    std::memcpy(bytes_->data() + offset, from.data(), kRecordSize);
    return true;
  }

 private:
  std::shared_ptr<std::string> bytes_;
  const MemoryRecordFileSystem::Faults& faults_;
};

}  // namespace

std::string MemoryRecordFileSystem::Key(std::string_view name) {
  std::string key(name);
  std::transform(key.begin(), key.end(), key.begin(), [](char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
  });
  return key;
}

void MemoryRecordFileSystem::Put(std::string_view name, std::string bytes) {
  files_[Key(name)] = std::make_shared<std::string>(std::move(bytes));
}

std::string MemoryRecordFileSystem::Get(std::string_view name, bool* found) const {
  const auto it = files_.find(Key(name));
  if (found) *found = it != files_.end();
  return it == files_.end() ? std::string{} : *it->second;
}

bool MemoryRecordFileSystem::Has(std::string_view name) const { return files_.contains(Key(name)); }

bool MemoryRecordFileSystem::Exists(std::string_view name) { return Has(name); }

std::unique_ptr<RecordFile> MemoryRecordFileSystem::CreateNew(std::string_view name) {
  if (faults_.create || Has(name)) return nullptr;
  auto bytes = std::make_shared<std::string>();
  files_[Key(name)] = bytes;
  return std::make_unique<MemoryRecordFile>(std::move(bytes), faults_);
}

std::unique_ptr<RecordFile> MemoryRecordFileSystem::OpenExisting(std::string_view name) {
  const auto it = files_.find(Key(name));
  if (faults_.open || it == files_.end()) return nullptr;
  return std::make_unique<MemoryRecordFile>(it->second, faults_);
}

bool MemoryRecordFileSystem::Remove(std::string_view name) { return files_.erase(Key(name)) > 0; }

}  // namespace velmora::erpdirs
