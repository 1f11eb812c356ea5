#include "erpdirs/environment_steps.h"

#include "erpdirs/accounting_directory_image.h"
#include "erpdirs/erp_directory_image.h"
#include "erpdirs/fixed_assets_directory_image.h"
#include "erpdirs/payroll_directory_image.h"
#include "erpdirs/suite_paths.h"

namespace velmora::erpdirs {
namespace {

const ModuleStep kModuleSteps[] = {
    {"KELBAR", "Pozitionare imposibila in Directorul KELBAR !",
     "Pozitionare imposibila in Directorul FIRMA (1)!", &kAccountingDirectoryFile,
     "KELBAR\\FILEGEN", kAccountingPathFields, true},
    {"MORVIN", "Pozitionare imposibila in Directorul MORVIN !",
     "Pozitionare imposibila in Directorul FIRMA (2)!", &kPayrollDirectoryFile, "KELBAR\\FIRMA",
     kPayrollPathFields, false},
    {"TESSLO", "Pozitionare imposibila in Directorul TESSLO !",
     "Pozitionare imposibila in Directorul FIRMA (3) !", &kFixedAssetsDirectoryFile,
     "KELBAR\\FIRMA", kFixedAssetsPathFields, false},
};

}  // namespace

std::span<const ModuleStep> ModuleSteps() { return kModuleSteps; }

RefreshOutcome RefreshErpDirectoryFile(RecordFileSystem& files, std::span<char> image,
                                       std::string_view startDirectory,
                                       const LoadReport& reportLoad) {
  const auto root = SuiteRootOf(startDirectory);
  return RefreshDirectoryFile(
      files, kErpDirectoryFile, image,
      [&](std::span<char> loaded) {
        if (root) SetErpDirectoryPaths(loaded, *root);
      },
      reportLoad);
}

RefreshOutcome RefreshModuleDirectoryFile(RecordFileSystem& files, const ModuleStep& step,
                                          std::span<char> image, std::string_view startDirectory,
                                          std::string_view suiteRoot,
                                          const LoadReport& reportLoad) {
  const std::string root(suiteRoot);
  return RefreshDirectoryFile(
      files, *step.file, image,
      [&](std::span<char> loaded) {
        SetModulePaths(loaded, step.paths, startDirectory, root + std::string(step.accountingData),
                       root + "VANTOR");
      },
      reportLoad);
}

}  // namespace velmora::erpdirs
