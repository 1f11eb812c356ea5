#pragma once
// Where the suite lies, as seen from the directory current at start: the
// suite root is everything before the first "ERP" of that directory (case
// ignored), provided "ERP" stands after its first character.

#include <optional>
#include <string>
#include <string_view>

namespace velmora::erpdirs {

// 1-based position of the first "ERP" in the directory, case ignored; 0 when absent.
int ErpRootPosition(std::string_view startDirectory);

// The suite root (it ends with the separator before "ERP": C:\SUITE\ for
// C:\SUITE\ERP); nothing when "ERP" is absent or stands first.
std::optional<std::string> SuiteRootOf(std::string_view startDirectory);

// Suite root + module directory name (such as "KELBAR"); empty without a root.
std::string ModuleDirectoryOf(std::string_view startDirectory, std::string_view moduleName);

// The module's company folder: module directory + "\FIRMA".
std::string CompanyFolderOf(std::string_view moduleDirectory);

}  // namespace velmora::erpdirs
