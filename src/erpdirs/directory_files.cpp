#include "erpdirs/directory_files.h"

#include <mutex>

#include "erpdirs/accounting_directory_image.h"
#include "erpdirs/current_directory_files.h"
#include "erpdirs/fixed_assets_directory_image.h"
#include "erpdirs/image_fields.h"
#include "erpdirs/payroll_directory_image.h"

namespace velmora::erpdirs {
namespace {

// The images live for the whole run, blank until first loaded.
template <typename Image>
Image BlankImage() {
  Image image;
  image.fill(' ');
  return image;
}

std::mutex g_imagesLock;
ErpDirectoryImage g_erp = BlankImage<ErpDirectoryImage>();
AccountingDirectoryImage g_accounting = BlankImage<AccountingDirectoryImage>();
PayrollDirectoryImage g_payroll = BlankImage<PayrollDirectoryImage>();
FixedAssetsDirectoryImage g_fixedAssets = BlankImage<FixedAssetsDirectoryImage>();

std::span<char> ImageOf(const DirectoryFileKind& kind) {
  if (&kind == &kAccountingDirectoryFile) return g_accounting;
  if (&kind == &kPayrollDirectoryFile) return g_payroll;
  if (&kind == &kFixedAssetsDirectoryFile) return g_fixedAssets;
  return g_erp;
}

DirectoryFileResult LoadHere(const DirectoryFileKind& kind) {
  CurrentDirectoryFiles files;
  const std::lock_guard lock(g_imagesLock);
  return ResultOf(LoadDirectoryFile(files, kind, ImageOf(kind)), kind.name);
}

}  // namespace

DirectoryFileResult LoadErpDirectoryFile() { return LoadHere(kErpDirectoryFile); }
DirectoryFileResult LoadAccountingDirectoryFile() { return LoadHere(kAccountingDirectoryFile); }
DirectoryFileResult LoadPayrollDirectoryFile() { return LoadHere(kPayrollDirectoryFile); }
DirectoryFileResult LoadFixedAssetsDirectoryFile() { return LoadHere(kFixedAssetsDirectoryFile); }

ErpDirectoryImage ErpDirectoryImageCopy() {
  const std::lock_guard lock(g_imagesLock);
  return g_erp;
}

std::string ErpDocumentsModuleDirectory() {
  const std::lock_guard lock(g_imagesLock);
  return std::string(g_erp.data() + kErpDocumentsDirectory, kPathFieldWidth);
}

RefreshOutcome RefreshErpDirectoryHere(std::string_view startDirectory) {
  CurrentDirectoryFiles files;
  const std::lock_guard lock(g_imagesLock);
  return RefreshErpDirectoryFile(files, g_erp, startDirectory);
}

RefreshOutcome RefreshModuleDirectoryHere(const ModuleStep& step, std::string_view startDirectory,
                                          std::string_view suiteRoot) {
  CurrentDirectoryFiles files;
  const std::lock_guard lock(g_imagesLock);
  return RefreshModuleDirectoryFile(files, step, ImageOf(*step.file), startDirectory, suiteRoot);
}

}  // namespace velmora::erpdirs
