#pragma once
// Windows test helpers: a fresh folder right under C:\ (so that the suite's
// 40-character path fields hold its paths whole) and a guard that puts the
// current directory back. Both are defined here and need no library;
// MakeFolders and FileExists come with velmora_test_driver.

#include <windows.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>
#include <thread>

namespace velmora::testing {

// C:\<stem><process>-<n>\ , emptied first and removed at the end.
class ShortTempFolder {
 public:
  explicit ShortTempFolder(std::string_view stem = "vt") {
    static std::atomic<int> counter{0};
    // The process id keeps parallel runs apart.
    path_ = "C:\\" + std::string(stem) + std::to_string(GetCurrentProcessId()) + "-";
    path_ += std::to_string(counter++) + "\\";
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
    std::filesystem::create_directories(path_);
  }
  ShortTempFolder(const ShortTempFolder&) = delete;
  ShortTempFolder& operator=(const ShortTempFolder&) = delete;
  ~ShortTempFolder() {
    // A program started in it that is still ending may hold its exe for a
    // moment: tried again every 20 ms for 3 s.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(3000);
    for (;;) {
      std::error_code error;
      std::filesystem::remove_all(path_, error);
      if (!error || std::chrono::steady_clock::now() >= deadline) return;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
  }

  // The folder with a trailing '\', such as C:\vt1234-0\ .
  const std::string& path() const { return path_; }
  std::string operator/(std::string_view name) const { return path_ + std::string(name); }

 private:
  std::string path_;
};

// Makes a folder and every folder above it.
void MakeFolders(const std::string& path);

// Puts the current directory back at the end of a test.
class KeepCurrentDirectory {
 public:
  KeepCurrentDirectory() {
    char buffer[MAX_PATH * 2] = {};
    GetCurrentDirectoryA(sizeof buffer, buffer);
    saved_ = buffer;
  }
  KeepCurrentDirectory(const KeepCurrentDirectory&) = delete;
  KeepCurrentDirectory& operator=(const KeepCurrentDirectory&) = delete;
  ~KeepCurrentDirectory() { SetCurrentDirectoryA(saved_.c_str()); }

 private:
  std::string saved_;
};

bool FileExists(const std::string& path);

}  // namespace velmora::testing
