#include "shell/documents_directory_seed.h"

#include <windows.h>

#include "common/win_handles.h"
#include "shell/app_state.h"
#include "shell/documents_seed_record.h"

namespace velmora::shell {
namespace {

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

}  // namespace

void CreateLaunchDocumentsDirectoryFile(std::string_view ownPath, const std::string& suiteRoot) {
  const std::string programDirectory = DirectoryOfPath(ownPath);
  if (!Exists(programDirectory + "anga.dat") || !Exists(suiteRoot + "\\Vantor\\dev.dat") ||
      !Exists(suiteRoot + "\\Kelbar\\FileGen\\plcont.dat"))
    return;

  char currentDirectory[1024] = {};
  GetCurrentDirectoryA(sizeof currentDirectory, currentDirectory);
  const std::string record =
      BuildDocumentsSeedRecord(suiteRoot, programDirectory, SameDriveLetter(currentDirectory, ownPath));

  AutoHandle file(CreateFileA("DIRVAN.DAT", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return;
  DWORD written = 0;
  WriteFile(file.get(), record.data(), static_cast<DWORD>(record.size()), &written, nullptr);
}

}  // namespace velmora::shell
