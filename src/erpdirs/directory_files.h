#pragma once
// The four directory files that the start-up refresh keeps up to date, as
// images held for the whole run, loaded from the current directory. The ERP
// directory file is also read by the client identification on another
// thread; a lock keeps its image whole while either side uses it.

#include <string>
#include <string_view>

#include "erpdirs/directory_file.h"
#include "erpdirs/environment_steps.h"
#include "erpdirs/erp_directory_image.h"

namespace velmora::erpdirs {

// Load-or-create in the current directory: status 0 or 1 and the
// 80-character message to show.
DirectoryFileResult LoadErpDirectoryFile();
DirectoryFileResult LoadAccountingDirectoryFile();
DirectoryFileResult LoadPayrollDirectoryFile();
DirectoryFileResult LoadFixedAssetsDirectoryFile();

// A copy of the ERP directory file's image as last loaded or refreshed.
ErpDirectoryImage ErpDirectoryImageCopy();
// Its documents module directory (record 3, the 40-character field at offset 0).
std::string ErpDocumentsModuleDirectory();

// The start-up refreshes, run in the folder that holds the file (the caller
// has made it current).
RefreshOutcome RefreshErpDirectoryHere(std::string_view startDirectory);
RefreshOutcome RefreshModuleDirectoryHere(const ModuleStep& step, std::string_view startDirectory,
                                          std::string_view suiteRoot);

}  // namespace velmora::erpdirs
