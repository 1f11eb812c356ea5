#include "erpdirs/suite_paths.h"

#include <algorithm>
#include <limits>

#include "common/fixed_text.h"
#include "erpdirs/text_search.h"

namespace velmora::erpdirs {

int ErpRootPosition(std::string_view startDirectory) {
  const auto length = static_cast<int>(
      std::min<std::size_t>(startDirectory.size(), std::numeric_limits<int>::max()));
  return FindTextNoCase(startDirectory, length, "ERP", 3, false);
}

std::optional<std::string> SuiteRootOf(std::string_view startDirectory) {
  const int position = ErpRootPosition(startDirectory);
  if (position <= 1) return std::nullopt;
  return std::string(startDirectory.substr(0, static_cast<std::size_t>(position - 1)));
}

std::string ModuleDirectoryOf(std::string_view startDirectory, std::string_view moduleName) {
  const auto root = SuiteRootOf(startDirectory);
  return root ? *root + std::string(moduleName) : std::string{};
}

std::string CompanyFolderOf(std::string_view moduleDirectory) {
  return std::string(TrimTrailingBlanks(moduleDirectory)) + "\\FIRMA";
}

}  // namespace velmora::erpdirs
