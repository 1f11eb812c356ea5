#pragma once
// The record that the launcher writes as DIRVAN.DAT before the documents
// module's first start: 512 bytes, blanks except the fields below.

#include <string>
#include <string_view>

namespace velmora::shell {

inline constexpr std::size_t kDocumentsRecordBytes = 512;

// `suiteRoot` has no trailing '\'; `programDirectory` ends in '\'. When
// `sameDrive` the paths are written without their drive prefix.
std::string BuildDocumentsSeedRecord(std::string_view suiteRoot, std::string_view programDirectory, bool sameDrive);

// True when both paths start with the same drive letter (case ignored).
bool SameDriveLetter(std::string_view a, std::string_view b);

}  // namespace velmora::shell
