#pragma once
// Where the client code comes from when the caller of INITCONECTARELASERVER
// gives none: the documents module's directory (from the ERP directory file
// in ERP mode, else from dirvan.dat when present), then the client record of
// the documents module's dev.dat.

#include <cstdint>
#include <string>

namespace velmora::link {

// Sets `documentsDirectory` (40 characters) and `code` (0 when none is found).
// 0, or -1 when in ERP mode the ERP directory file cannot be read.
int16_t ClientCodeFromDocumentsModule(bool erpMode, std::string& documentsDirectory, int32_t& code);

}  // namespace velmora::link
