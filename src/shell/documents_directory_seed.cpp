#include "shell/documents_directory_seed.h"

#include <windows.h>

#include "erpdirs/documents_directory.h"
#include "shell/startup_rules.h"

namespace velmora::shell {
namespace {

bool Exists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace

void CreateLaunchDocumentsDirectoryFile(std::string_view ownPath, const std::string& suiteRoot) {
  const std::string programDirectory = DirectoryOfPath(ownPath);
  if (!Exists(programDirectory + "anga.dat") || !Exists(suiteRoot + "\\Vantor\\dev.dat") ||
      !Exists(suiteRoot + "\\Kelbar\\FileGen\\plcont.dat"))
    return;
  char currentDirectory[1024] = {};
  GetCurrentDirectoryA(sizeof currentDirectory, currentDirectory);
  erpdirs::WriteLauncherDocumentsDirectoryFile(suiteRoot, programDirectory, currentDirectory);
}

}  // namespace velmora::shell
