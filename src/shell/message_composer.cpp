// "Trimite !": the short message to the vendor typed in the main dialog.

#include <string>

#include "common/ui_seams.h"
#include "messages/messages.h"
#include "postman/shared_state.h"
#include "shell/main_dialog_state.h"

namespace velmora::shell {
namespace {

constexpr int kMaxSends = 11;  // presses acted on while the dialog is open

}  // namespace

void OnSendMessage(HWND dialog) {
  MainDialogState& state = Main();
  if (state.sendCount >= kMaxSends) return;
  ++state.sendCount;

  if (state.placeholderShown) {
    SetDlgItemTextA(dialog, IDC_MESSAGE_EDIT, "");
    state.placeholderShown = false;
    return;
  }
  char text[1001] = {};
  const int length = GetDlgItemTextA(dialog, IDC_MESSAGE_EDIT, text, sizeof text);
  if (length < 2) {
    ShowMessageBox(dialog, "Completati mesajul!", "Vantor", MB_ICONWARNING);
    SetFocus(GetDlgItem(dialog, IDC_MESSAGE_EDIT));
    return;
  }
  if (messages::SendUserMessage(std::string(text, static_cast<std::size_t>(length))) != 0) return;

  ShowMessageBox(dialog, "Mesajul a fost trimis!", "Vantor", MB_ICONWARNING);
  SetDlgItemTextA(dialog, IDC_MESSAGE_EDIT, kPlaceholderText);
  state.placeholderShown = true;
  postman::Shared().messageCheck = true;
  postman::Shared().messagePassCount = 0;
}

}  // namespace velmora::shell
