#pragma once
// The documents module's directory file that the launcher writes before the
// module's first start, when the suite is complete enough to need one.

#include <string>
#include <string_view>

namespace velmora::shell {

// Writes DIRVAN.DAT into the current directory when program directory +
// "anga.dat", the documents module's dev.dat and the accounting module's
// plcont.dat all exist. A failing open skips the write.
void CreateLaunchDocumentsDirectoryFile(std::string_view ownPath, const std::string& suiteRoot);

}  // namespace velmora::shell
