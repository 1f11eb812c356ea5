// "Trimite !": the short message to the vendor typed in the main dialog.

#include <string>

#include "common/shared_state.h"
#include "common/ui_seams.h"
#include "common/wide_text.h"
#include "messages/messages.h"
#include "shell/main_dialog_state.h"

namespace velmora::shell {
namespace {

constexpr int kMaxSends = 11;  // presses acted on while the dialog is open
constexpr std::size_t kMaxMessage = 1000;

}  // namespace

void OnSendMessage(HWND dialog) {
  MainDialogState& state = MainDialogData();
  if (state.sendCount >= kMaxSends) return;
  ++state.sendCount;

  if (state.placeholderShown) {
    SetDlgItemText1250(dialog, IDC_MESSAGE_EDIT, "");
    state.placeholderShown = false;
    return;
  }
  // Typed as Unicode; the file and the wire get code page 1250.
  std::string text = DlgItemText1250(dialog, IDC_MESSAGE_EDIT);
  if (text.size() > kMaxMessage) text.resize(kMaxMessage);
  if (text.size() < 2) {
    ShowMessageBox(dialog, "Completati mesajul!", "Vantor", MB_ICONWARNING);
    SetFocus(GetDlgItem(dialog, IDC_MESSAGE_EDIT));
    return;
  }
  if (messages::SendUserMessage(text) != 0) return;

  ShowMessageBox(dialog, "Mesajul a fost trimis!", "Vantor", MB_ICONWARNING);
  SetDlgItemText1250(dialog, IDC_MESSAGE_EDIT, kPlaceholderText);
  state.placeholderShown = true;
  Shared().messageCheck = true;
  Shared().messagePassCount = 0;
}

}  // namespace velmora::shell
