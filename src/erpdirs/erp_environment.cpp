#include "erpdirs/erp_environment.h"

#include "common/fixed_text.h"
#include "common/ui_seams.h"
#include "erpdirs/current_directory_files.h"
#include "erpdirs/directory_files.h"
#include "erpdirs/environment_steps.h"
#include "erpdirs/keyed_file_image.h"
#include "erpdirs/suite_paths.h"

namespace velmora::erpdirs {
namespace {

constexpr std::string_view kTertiaryKeyedFile = "TERTIDC.DAT";

// Goes back to the directory a step started in, however the step ends.
class ReturnToDirectory {
 public:
  explicit ReturnToDirectory(std::string directory) : directory_(std::move(directory)) {}
  ReturnToDirectory(const ReturnToDirectory&) = delete;
  ReturnToDirectory& operator=(const ReturnToDirectory&) = delete;
  ~ReturnToDirectory() { ChangeToDirectory(directory_); }

 private:
  std::string directory_;
};

// A load that failed is shown before the file is opened and written.
LoadReport ShowLoadFailure(HWND owner) {
  return [owner](const DirectoryFileResult& load) {
    if (load.status != 0)
      ShowMessageBox(owner, TrimTrailingBlanks(load.message), "Eroare", MB_ICONWARNING);
  };
}

void RefreshErpDirectory(HWND owner) {
  const std::string start = CurrentDirectory();
  RefreshErpDirectoryHere(start, ShowLoadFailure(owner));
}

// The accounting company folder keeps an empty keyed file of tertiary
// accounts; an existing one is left alone.
void EnsureTertiaryKeyedFile() {
  CurrentDirectoryFiles files;
  if (files.Exists(kTertiaryKeyedFile)) {
    ShowMessageBox(nullptr, "** Exista TERTIDC.DAT **", "Exista TERTIDC.DAT ", MB_OK);
    return;
  }
  CreateKeyedFile(files, kTertiaryKeyedFile, kTertiaryKeyedFileBlocks);
}

// Enters the company folder, creating it when it is missing.
bool EnterCompanyFolder(const std::string& folder) {
  if (ChangeToDirectory(folder)) return true;
  CreateDirectoryA(folder.c_str(), nullptr);
  return ChangeToDirectory(folder);
}

void RunModuleStep(HWND owner, const ModuleStep& step) {
  const std::string start = CurrentDirectory();
  const ReturnToDirectory back(start);
  const auto root = SuiteRootOf(start);
  const std::string moduleDirectory = ModuleDirectoryOf(start, step.directoryName);
  if (!ChangeToDirectory(moduleDirectory)) {
    ShowMessageBox(owner, step.moduleMessage, "Corvane", MB_ICONWARNING);
    return;
  }
  if (!EnterCompanyFolder(CompanyFolderOf(moduleDirectory))) {
    ShowMessageBox(owner, step.folderMessage, "Corvane", MB_ICONWARNING);
    return;
  }
  const RefreshOutcome outcome =
      RefreshModuleDirectoryHere(step, start, root.value_or(std::string{}), ShowLoadFailure(owner));
  if (outcome.opened && step.keyedFile) EnsureTertiaryKeyedFile();
}

}  // namespace

void PrepareErpEnvironment(HWND owner) {
  RefreshErpDirectory(owner);
  for (const ModuleStep& step : ModuleSteps()) RunModuleStep(owner, step);
}

int16_t CreateKeyedFile(std::string_view name, int32_t blockCount) {
  CurrentDirectoryFiles files;
  return CreateKeyedFile(files, name, blockCount);
}

}  // namespace velmora::erpdirs
