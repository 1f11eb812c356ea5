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

std::unique_ptr<RecordFile> OpenHere(const DirectoryFileKind& kind, DirectoryFileResult& result) {
  CurrentDirectoryFiles files;
  return OpenDirectoryFile(files, kind, result);
}

int16_t ReadHere(const DirectoryFileKind& kind, RecordFile& file) {
  const std::lock_guard lock(g_imagesLock);
  return kind.readRecords(file, ImageOf(kind), nullptr);
}

int16_t WriteHere(const DirectoryFileKind& kind, RecordFile& file) {
  const std::lock_guard lock(g_imagesLock);
  return WriteDirectoryRecords(file, ImageOf(kind));
}

}  // namespace

std::unique_ptr<RecordFile> OpenErpDirectoryFile(DirectoryFileResult& r) {
  return OpenHere(kErpDirectoryFile, r);
}
std::unique_ptr<RecordFile> OpenAccountingDirectoryFile(DirectoryFileResult& r) {
  return OpenHere(kAccountingDirectoryFile, r);
}
std::unique_ptr<RecordFile> OpenPayrollDirectoryFile(DirectoryFileResult& r) {
  return OpenHere(kPayrollDirectoryFile, r);
}
std::unique_ptr<RecordFile> OpenFixedAssetsDirectoryFile(DirectoryFileResult& r) {
  return OpenHere(kFixedAssetsDirectoryFile, r);
}
int16_t ReadErpDirectoryRecords(RecordFile& f) { return ReadHere(kErpDirectoryFile, f); }
int16_t WriteErpDirectoryRecords(RecordFile& f) { return WriteHere(kErpDirectoryFile, f); }
int16_t ReadAccountingDirectoryRecords(RecordFile& f) {
  return ReadHere(kAccountingDirectoryFile, f);
}
int16_t WriteAccountingDirectoryRecords(RecordFile& f) {
  return WriteHere(kAccountingDirectoryFile, f);
}
int16_t ReadPayrollDirectoryRecords(RecordFile& f) { return ReadHere(kPayrollDirectoryFile, f); }
int16_t WritePayrollDirectoryRecords(RecordFile& f) { return WriteHere(kPayrollDirectoryFile, f); }
int16_t ReadFixedAssetsDirectoryRecords(RecordFile& f) {
  return ReadHere(kFixedAssetsDirectoryFile, f);
}
int16_t WriteFixedAssetsDirectoryRecords(RecordFile& f) {
  return WriteHere(kFixedAssetsDirectoryFile, f);
}

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

namespace {

// The report may show a message box: the images are not held meanwhile.
LoadReport Unlocked(std::unique_lock<std::mutex>& lock, const LoadReport& reportLoad) {
  if (!reportLoad) return nullptr;
  return [&lock, &reportLoad](const DirectoryFileResult& load) {
    lock.unlock();
    reportLoad(load);
    lock.lock();
  };
}

}  // namespace

RefreshOutcome RefreshErpDirectoryHere(std::string_view startDirectory,
                                       const LoadReport& reportLoad) {
  CurrentDirectoryFiles files;
  std::unique_lock lock(g_imagesLock);
  return RefreshErpDirectoryFile(files, g_erp, startDirectory, Unlocked(lock, reportLoad));
}

RefreshOutcome RefreshModuleDirectoryHere(const ModuleStep& step, std::string_view startDirectory,
                                          std::string_view suiteRoot,
                                          const LoadReport& reportLoad) {
  CurrentDirectoryFiles files;
  std::unique_lock lock(g_imagesLock);
  return RefreshModuleDirectoryFile(files, step, ImageOf(*step.file), startDirectory, suiteRoot,
                                    Unlocked(lock, reportLoad));
}

}  // namespace velmora::erpdirs
