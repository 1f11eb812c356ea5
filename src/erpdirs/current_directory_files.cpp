#include "erpdirs/current_directory_files.h"

#include <windows.h>

#include "common/fixed_text.h"
#include "common/win_handles.h"

namespace velmora::erpdirs {
namespace {

class Win32RecordFile final : public RecordFile {
 public:
  explicit Win32RecordFile(AutoHandle handle) : handle_(std::move(handle)) {}

  bool ReadRecord(int number, std::span<char, kRecordSize> into) override {
    DWORD done = 0;
    OVERLAPPED at = PositionOf(number);
    return number >= 1 && ReadFile(handle_.get(), into.data(), kRecordSize, &done, &at) &&
           done == kRecordSize;
  }

  bool HoldsRecord(int number) override {
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(handle_.get(), &size)) return true;
    return number >= 1 &&
           static_cast<ULONGLONG>(size.QuadPart) > static_cast<ULONGLONG>(number - 1) * kRecordSize;
  }

  bool WriteRecord(int number, std::span<const char, kRecordSize> from) override {
    DWORD done = 0;
    OVERLAPPED at = PositionOf(number);
    return number >= 1 && WriteFile(handle_.get(), from.data(), kRecordSize, &done, &at) &&
           done == kRecordSize;
  }

  bool WriteRecords(int first, std::span<const char> from) override {
    const DWORD bytes = static_cast<DWORD>(from.size() / kRecordSize * kRecordSize);
    DWORD done = 0;
    OVERLAPPED at = PositionOf(first);
    return first >= 1 && WriteFile(handle_.get(), from.data(), bytes, &done, &at) && done == bytes;
  }

 private:
  static OVERLAPPED PositionOf(int number) {
    const ULONGLONG offset = static_cast<ULONGLONG>(number > 0 ? number - 1 : 0) * kRecordSize;
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset & 0xFFFFFFFFu);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    return at;
  }

  AutoHandle handle_;
};

std::unique_ptr<RecordFile> OpenShared(std::string_view name, DWORD disposition) {
  const std::string zName(name);
  AutoHandle handle(CreateFileA(zName.c_str(), GENERIC_READ | GENERIC_WRITE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, disposition,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!handle) return nullptr;
  return std::make_unique<Win32RecordFile>(std::move(handle));
}

bool IsDriveLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

}  // namespace

bool CurrentDirectoryFiles::Exists(std::string_view name) {
  return GetFileAttributesA(std::string(name).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::unique_ptr<RecordFile> CurrentDirectoryFiles::CreateNew(std::string_view name) {
  return OpenShared(name, CREATE_NEW);
}

std::unique_ptr<RecordFile> CurrentDirectoryFiles::OpenExisting(std::string_view name) {
  return OpenShared(name, OPEN_EXISTING);
}

bool CurrentDirectoryFiles::Remove(std::string_view name) {
  return DeleteFileA(std::string(name).c_str()) != FALSE;
}

std::unique_ptr<RecordFile> OpenOrCreateRecordFile(std::string_view name) {
  return OpenShared(name, OPEN_ALWAYS);
}

std::string CurrentDirectory() {
  // A directory of 200 characters or more does not fit the usual buffer; the
  // call then tells the size it needs, and the buffer grows to it.
  std::string buffer(200, '\0');
  for (int attempt = 0; attempt < 8; ++attempt) {
    const DWORD length = GetCurrentDirectoryA(static_cast<DWORD>(buffer.size()), buffer.data());
    if (length == 0) return {};
    if (length < buffer.size()) {
      buffer.resize(length);
      return buffer;
    }
    buffer.assign(length, '\0');
  }
  return {};
}

bool ChangeToDirectory(std::string_view path) {
  const std::string_view name = TrimTrailingBlanks(path);
  if (name.size() >= 2 && name[1] == ':') {
    if (!IsDriveLetter(name[0])) return false;
    const char drive[3] = {name[0], ':', '\0'};
    if (!SetCurrentDirectoryA(drive)) return false;
    const std::string rest(name.substr(2));
    return rest.empty() || SetCurrentDirectoryA(rest.c_str()) != FALSE;
  }
  if (name.empty()) return false;
  return SetCurrentDirectoryA(std::string(name).c_str()) != FALSE;
}

}  // namespace velmora::erpdirs
