#include "rates/rate_files.h"

#include "common/fixed_text.h"

namespace velmora::rates {
namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

class WindowsFiles final : public RateFiles {
 public:
  AutoHandle OpenShared(const std::string& path) override {
    return AutoHandle(CreateFileA(path.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
  }
  AutoHandle Create(const std::string& path) override {
    return AutoHandle(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
  }
  bool ReadAll(HANDLE file, std::string& bytes) override {
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file, &size) || size.QuadPart > 0x7FFFFFFF) return false;
    bytes.assign(static_cast<std::size_t>(size.QuadPart), '\0');
    std::size_t done = 0;
    while (done < bytes.size()) {
      DWORD got = 0;
      if (!ReadFile(file, bytes.data() + done, static_cast<DWORD>(bytes.size() - done), &got,
                    nullptr) ||
          got == 0)
        return false;
      done += got;
    }
    return true;
  }
  bool WriteAll(HANDLE file, std::string_view bytes) override {
    std::size_t done = 0;
    while (done < bytes.size()) {
      DWORD put = 0;
      if (!WriteFile(file, bytes.data() + done, static_cast<DWORD>(bytes.size() - done), &put,
                     nullptr) ||
          put == 0)
        return false;
      done += put;
    }
    return true;
  }
  bool Flush(HANDLE file) override { return FlushFileBuffers(file) != FALSE; }
  bool Rename(const std::string& from, const std::string& to) override {
    return RenameReplacing(from, to) == 0;
  }
  bool Remove(const std::string& path) override { return DeleteFileA(path.c_str()) != FALSE; }
};

}  // namespace

RateFiles& WindowsRateFiles() {
  static WindowsFiles files;
  return files;
}

int RenameReplacing(std::string_view fromPath, std::string_view toPath) {
  const std::string from(TrimTrailingBlanks(fromPath));
  const std::string to(TrimTrailingBlanks(toPath));
  if (from.size() > MAX_PATH || to.size() > MAX_PATH) return 2;
  if (MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    return 0;
  DWORD error = GetLastError();
  if (error == ERROR_CALL_NOT_IMPLEMENTED) {
    if (MoveFileA(from.c_str(), to.c_str())) return 0;
    error = GetLastError();
    if (error == ERROR_ALREADY_EXISTS) {
      DeleteFileA(to.c_str());
      if (MoveFileA(from.c_str(), to.c_str())) return 0;
      error = GetLastError();
    }
  }
  if (error == ERROR_FILE_NOT_FOUND) return 2;
  if (error == ERROR_NOT_SAME_DEVICE) return 18;
  return 13;
}

}  // namespace velmora::rates
