#pragma once
// The four directory files that the start-up refresh keeps up to date, as
// images held for the whole run, loaded from the current directory. The ERP
// directory file is also read by the client identification on another
// thread; a lock keeps its image whole while either side uses it.

#include <cstdint>
#include <memory>
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

// Open-existing (status 1 and the "Deschidere" message on failure), and the
// transfers of all records between an open file and the held image; each
// returns 0 or 1. Closing is destroying the returned file.
std::unique_ptr<RecordFile> OpenErpDirectoryFile(DirectoryFileResult& result);
std::unique_ptr<RecordFile> OpenAccountingDirectoryFile(DirectoryFileResult& result);
std::unique_ptr<RecordFile> OpenPayrollDirectoryFile(DirectoryFileResult& result);
std::unique_ptr<RecordFile> OpenFixedAssetsDirectoryFile(DirectoryFileResult& result);
int16_t ReadErpDirectoryRecords(RecordFile& file);
int16_t WriteErpDirectoryRecords(RecordFile& file);
int16_t ReadAccountingDirectoryRecords(RecordFile& file);
int16_t WriteAccountingDirectoryRecords(RecordFile& file);
int16_t ReadPayrollDirectoryRecords(RecordFile& file);  // the tolerant reader
int16_t WritePayrollDirectoryRecords(RecordFile& file);
int16_t ReadFixedAssetsDirectoryRecords(RecordFile& file);
int16_t WriteFixedAssetsDirectoryRecords(RecordFile& file);

// A copy of the ERP directory file's image as last loaded or refreshed.
ErpDirectoryImage ErpDirectoryImageCopy();
// Its documents module directory (record 3, the 40-character field at offset 0).
std::string ErpDocumentsModuleDirectory();

// The start-up refreshes, run in the folder that holds the file (the caller
// has made it current). `reportLoad` learns the load's result before the
// file is written.
RefreshOutcome RefreshErpDirectoryHere(std::string_view startDirectory,
                                       const LoadReport& reportLoad = nullptr);
RefreshOutcome RefreshModuleDirectoryHere(const ModuleStep& step, std::string_view startDirectory,
                                          std::string_view suiteRoot,
                                          const LoadReport& reportLoad = nullptr);

}  // namespace velmora::erpdirs
