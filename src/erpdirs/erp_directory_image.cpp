#include "erpdirs/erp_directory_image.h"

#include <algorithm>
#include <string>

#include "common/fixed_text.h"
#include "erpdirs/image_fields.h"

namespace velmora::erpdirs {

void SetErpDirectoryDefaults(std::span<char> image) {
  std::fill(image.begin(), image.end(), ' ');
  WriteInt32(image, 12, 0);
}

void SetErpDirectoryPaths(std::span<char> image, std::string_view suiteRoot) {
  const std::string root(suiteRoot);
  SetPathField(image, kErpDocumentsDirectory, root + "VANTOR");
  SetPathField(image, kErpAccountingFolder, root + "KELBAR\\FIRMA");
  SetPathField(image, kErpPayrollFolder, root + "MORVIN\\FIRMA");
  SetPathField(image, kErpFixedAssetsFolder, root + "TESSLO\\FIRMA");
}

const DirectoryFileKind kErpDirectoryFile{"DIRERP.DAT", kErpDirectoryRecords,
                                          &SetErpDirectoryDefaults, &ReadDirectoryRecords};

}  // namespace velmora::erpdirs
