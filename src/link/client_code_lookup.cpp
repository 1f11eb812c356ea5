#include "link/client_code_lookup.h"

#include <windows.h>

#include "common/fixed_text.h"
#include "docstore/client_code.h"
#include "erpdirs/directory_files.h"
#include "erpdirs/documents_directory.h"

namespace velmora::link {

int16_t ClientCodeFromDocumentsModule(bool erpMode, std::string& documentsDirectory,
                                      int32_t& code) {
  code = 0;
  if (erpMode) {
    if (erpdirs::LoadErpDirectoryFile().status != 0) return -1;
    documentsDirectory = PadToWidth(erpdirs::ErpDocumentsModuleDirectory(), 40);
    // The cached lookup reads the data directory of the documents record image.
    erpdirs::SetDocumentsDataDirectory(documentsDirectory);
  } else if (GetFileAttributesA("dirvan.dat") != INVALID_FILE_ATTRIBUTES) {
    erpdirs::LoadDocumentsDirectoryFile();
    documentsDirectory = PadToWidth(erpdirs::DocumentsDataDirectory(), 40);
  } else {
    documentsDirectory = std::string(40, ' ');
    erpdirs::SetDocumentsDataDirectory(documentsDirectory);
  }
  docstore::ReadClientCode(code);
  return 0;
}

}  // namespace velmora::link
