// The self-update program. The launcher copies it to the temporary folder
// and starts it as "<its path> <launcher path>", then exits. It waits until
// the launcher's single-instance mutex is gone, checks every staged file of
// <suite root>ERP\UPDATE\ against the staged manifest (size and SHA-256),
// puts them in place (all or nothing), notes what it did in
// ERP\renova37.log and starts the launcher again. Whatever keeps the update
// from going in is also told to the user in a message box.
//
// Exit codes: 0 updated (or nothing to do) and restarted; 1 the update was
// rolled back, the old version restarted; 2 a file could not be restored
// (the backup stays in ERP\UPDATE.BAK); 3 no launcher path given; 4 the
// launcher did not end in time (nothing changed, no restart); 5 the launcher
// could not be started again; 6 the staged files did not match their
// manifest (nothing changed, the staged update discarded, old version restarted).

#include <windows.h>

#include <cstdlib>
#include <string>

#include "recorder/launch_record.h"
#include "renova37/update_apply.h"
#include "update_manifest/sha256_file.h"

namespace {

using namespace velmora::standins;

constexpr char kMutexName[] = "VelmoraMutex";
constexpr DWORD kDefaultWaitMs = 60'000;
constexpr DWORD kPollMs = 100;

// Tests shorten the wait for the launcher with VELMORA_RENOVA_WAIT_MS.
DWORD WaitLimitMs() {
  char text[32] = {};
  if (GetEnvironmentVariableA("VELMORA_RENOVA_WAIT_MS", text, sizeof text) == 0)
    return kDefaultWaitMs;
  return static_cast<DWORD>(std::strtoul(text, nullptr, 10));
}

bool WaitUntilLauncherEnded(DWORD limitMs) {
  const ULONGLONG deadline = GetTickCount64() + limitMs;
  for (;;) {
    HANDLE mutex = OpenMutexA(SYNCHRONIZE, FALSE, kMutexName);
    if (mutex == nullptr) return true;
    CloseHandle(mutex);
    if (GetTickCount64() >= deadline) return false;
    Sleep(kPollMs);
  }
}

void Log(const std::string& suiteRoot, const std::string& text) {
  if (suiteRoot.empty()) return;
  const std::string path = suiteRoot + "ERP\\renova37.log";
  HANDLE file = CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  SYSTEMTIME now;
  GetLocalTime(&now);
  char stamp[32];
  wsprintfA(stamp, "%04u-%02u-%02u %02u:%02u:%02u ", now.wYear, now.wMonth, now.wDay, now.wHour,
            now.wMinute, now.wSecond);
  const std::string line = stamp + text + "\r\n";
  DWORD written = 0;
  WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
  CloseHandle(file);
}

std::string FolderOf(const std::string& path) {
  const auto slash = path.find_last_of("\\/");
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

bool StartLauncher(const std::string& launcherPath) {
  std::string commandLine = "\"" + launcherPath + "\"";
  const std::string folder = FolderOf(launcherPath);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(launcherPath.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      folder.empty() ? nullptr : folder.c_str(), &startup, &process))
    return false;
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return true;
}

constexpr char kUnchanged[] = " Fisierele instalate au ramas neschimbate.";

void Tell(const std::string& text) {
  MessageBoxA(nullptr, text.c_str(), "Corvane", MB_ICONWARNING | MB_TOPMOST);
}

// What the user is told when the update did not go in; empty when it did.
std::string UserMessage(const ApplyResult& result) {
  const std::string file = result.failedAt ? result.failedAt->string() : std::string();
  switch (result.outcome) {
    case ApplyOutcome::Refused:
      return "Actualizarea nu a fost aplicata: fisierul descarcat " + file +
             " este incomplet sau modificat (" + result.error + ")." + kUnchanged +
             " Actualizarea va fi descarcata din nou.";
    case ApplyOutcome::RolledBack:
      return "Actualizarea nu a putut fi aplicata: " + file + " nu a putut fi inlocuit (" +
             result.error + "). Fisierele instalate au fost restaurate.";
    case ApplyOutcome::RestoreFailed:
      return "Actualizarea nu a putut fi aplicata: " + file +
             " nu a putut fi inlocuit, iar unele fisiere nu au putut fi restaurate. Copia lor se "
             "afla in "
             "ERP\\UPDATE.BAK.";
    case ApplyOutcome::NothingStaged:
    case ApplyOutcome::Applied: break;
  }
  return {};
}

std::string Describe(const ApplyResult& result) {
  std::string text = std::string("update ") + OutcomeName(result.outcome);
  for (const auto& file : result.applied) text += "; put in place " + file.string();
  if (result.failedAt) text += "; failed at " + result.failedAt->string() + ": " + result.error;
  for (const auto& file : result.notRestored) text += "; NOT restored " + file.string();
  if (result.outcome == ApplyOutcome::Refused)
    text += "; nothing changed, the staged update discarded";
  return text;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  const std::string launcherPath = LauncherPathFromCommandLine(GetCommandLineA());
  if (launcherPath.empty()) return 3;
  const std::string suiteRoot = SuiteRootOfProgram(launcherPath);
  if (suiteRoot.empty()) return 3;

  Log(suiteRoot, "waiting for " + launcherPath + " to end");
  if (!WaitUntilLauncherEnded(WaitLimitMs())) {
    Log(suiteRoot, "the launcher is still running; nothing changed");
    Tell("Velmora nu s-a inchis in timp util, asa ca actualizarea nu a fost aplicata." +
         std::string(kUnchanged));
    return 4;
  }

  ApplyOptions options;
  options.hash = [](const std::filesystem::path& file) { return Sha256OfFile(file); };
  options.attemptsPerFile = 10;  // the launcher's image may stay locked a moment after it ended
  options.betweenAttempts = [] { Sleep(200); };
  const ApplyResult result = ApplyStagedUpdate(suiteRoot, options);
  Log(suiteRoot, Describe(result));
  if (const std::string message = UserMessage(result); !message.empty()) Tell(message);

  if (!StartLauncher(launcherPath)) {
    Log(suiteRoot,
        "cannot start " + launcherPath + " (error " + std::to_string(GetLastError()) + ")");
    return 5;
  }
  switch (result.outcome) {
    case ApplyOutcome::NothingStaged:
    case ApplyOutcome::Applied: return 0;
    case ApplyOutcome::RolledBack: return 1;
    case ApplyOutcome::RestoreFailed: return 2;
    case ApplyOutcome::Refused: return 6;
  }
  return 0;
}
