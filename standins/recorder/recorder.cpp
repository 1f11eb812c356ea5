// Stand-in for every program of the suite that the launcher starts (the data
// synchronisation, messaging and ERP set-up programs, the four modules and
// the assistant). It only notes its own start in launches.log of the suite
// root, so tests and demos see exactly what was started, from where and how.
//
// Two files beside the exe steer it in tests: <name>.hold keeps it running
// until the file is deleted, <name>.exitcode makes it exit with that number.

#include <windows.h>

#include <cstdlib>
#include <string>

#include "launch_record.h"

namespace {

using velmora::standins::LaunchRecord;

std::string OwnPath() {
  std::string path(32768, '\0');
  const DWORD n = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
  path.resize(n);
  return path;
}

std::string CurrentDirectory() {
  std::string directory(32768, '\0');
  const DWORD n = GetCurrentDirectoryA(static_cast<DWORD>(directory.size()), directory.data());
  directory.resize(n < directory.size() ? n : 0);
  return directory;
}

bool FileExists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Several recorders may start at once: the whole-file lock makes each line
// land in one piece at the end. Readers may hold the file open meanwhile.
bool AppendLine(const std::string& logPath, const std::string& line) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    HANDLE file = CreateFileA(logPath.c_str(), GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
      Sleep(20);  // a reader that shares nothing; try again shortly
      continue;
    }
    OVERLAPPED whole{};
    bool written = false;
    if (LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK, 0, MAXDWORD, MAXDWORD, &whole)) {
      LARGE_INTEGER end{};
      DWORD done = 0;
      written = SetFilePointerEx(file, end, nullptr, FILE_END) &&
                WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &done, nullptr) &&
                done == line.size();
      UnlockFileEx(file, 0, MAXDWORD, MAXDWORD, &whole);
    }
    CloseHandle(file);
    return written;
  }
  return false;
}

int RequestedExitCode(const std::string& exitCodeFile) {
  HANDLE file = CreateFileA(exitCodeFile.c_str(), GENERIC_READ,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 0;
  char text[32] = {};
  DWORD read = 0;
  ReadFile(file, text, sizeof text - 1, &read, nullptr);
  CloseHandle(file);
  return static_cast<int>(std::strtol(text, nullptr, 10));
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  const std::string program = OwnPath();
  const LaunchRecord record{program, CurrentDirectory(), GetCommandLineA()};

  const std::string suiteRoot = velmora::standins::SuiteRootOfProgram(program);
  if (!suiteRoot.empty())
    AppendLine(suiteRoot + velmora::standins::kLaunchesLogName,
               velmora::standins::FormatLaunchRecord(record));

  const std::string holdFile = velmora::standins::RecorderControlFile(program, ".hold");
  while (FileExists(holdFile)) Sleep(50);

  return RequestedExitCode(velmora::standins::RecorderControlFile(program, ".exitcode"));
}
