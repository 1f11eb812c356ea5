#pragma once
// The steps that bring the suite's directory files up to date at start, in
// the form that needs no Windows call: which module folder, which file, which
// path values, which messages. The Windows side walks the folders and shows
// the messages.

#include <span>
#include <string>
#include <string_view>

#include "erpdirs/directory_file.h"
#include "erpdirs/image_fields.h"

namespace velmora::erpdirs {

struct ModuleStep {
  std::string_view directoryName;   // "KELBAR", beside the ERP directory
  std::string_view moduleMessage;   // the module directory cannot be entered
  std::string_view folderMessage;   // the company folder can neither be entered nor created
  const DirectoryFileKind* file;    // its directory file in the company folder
  std::string_view accountingData;  // after the suite root: "KELBAR\FILEGEN" or "KELBAR\FIRMA"
  ModulePathFields paths;           // where that file keeps its three paths
  bool keyedFile;                   // TERTIDC.DAT belongs in this company folder
};

// Accounting, payroll, fixed assets, in the order they run.
std::span<const ModuleStep> ModuleSteps();

// The first 40 characters of the start directory go into the ERP directory
// fields; longer directories are cut there.
RefreshOutcome RefreshErpDirectoryFile(RecordFileSystem& files, std::span<char> image,
                                       std::string_view startDirectory,
                                       const LoadReport& reportLoad = nullptr);

// The refresh of a module directory file, run in its company folder.
RefreshOutcome RefreshModuleDirectoryFile(RecordFileSystem& files, const ModuleStep& step,
                                          std::span<char> image, std::string_view startDirectory,
                                          std::string_view suiteRoot,
                                          const LoadReport& reportLoad = nullptr);

}  // namespace velmora::erpdirs
