// The main dialog's caption shows the client code of the documents module.

#include <string>

#include "common/shared_state.h"
#include "common/wide_text.h"
#include "docstore/client_code.h"
#include "erpdirs/documents_directory.h"
#include "shell/main_dialog_state.h"

namespace velmora::shell {

void RefreshCaption(HWND dialog) {
  int32_t code = 0;
  if (GetFileAttributesA("dirvan.dat") != INVALID_FILE_ATTRIBUTES) {
    const int16_t status = erpdirs::LoadDocumentsDirectoryFile();
    if (status == 0) docstore::PeekClientCode(code);  // its error was shown once already
    Shared().clientCode = code;
  }
  SetWindowText1250(dialog, "Corvane - CU : " + std::to_string(code));
}

}  // namespace velmora::shell
