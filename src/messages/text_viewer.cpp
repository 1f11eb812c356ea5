// Dialog 152: a slide's detail text in a read-only box. The text is the file
// named by the slide's entry in the slide table, read up to 32000 bytes.

#include <string>

#include "common/wide_text.h"
#include "common/win_handles.h"
#include "messages/messages.h"
#include "resource_ids.h"
#include "update/slide_table.h"

namespace velmora::messages {
namespace {

constexpr DWORD kMaxViewedBytes = 32000;
constexpr COLORREF kBackground = 0xEEEEEE;  // the main dialog's

thread_local AutoBrush t_background;

bool ShowFile(HWND dialog, const std::string& path) {
  const AutoHandle file(CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  std::string text(kMaxViewedBytes, '\0');
  DWORD read = 0;
  if (!ReadFile(file.get(), text.data(), kMaxViewedBytes, &read, nullptr)) read = 0;
  text.resize(read);
  SetDlgItemText1250(dialog, IDC_VIEWER_TEXT, text.c_str());
  return true;
}

BOOL OnInitDialog(HWND dialog, LPARAM index) {
  const HFONT font = ConfiguredMessagesSetup().viewerFont;
  SendDlgItemMessageA(dialog, IDC_VIEWER_TEXT, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  if (index < 1 || index > update::SlideTable::kMaxSlides ||
      !ShowFile(dialog, update::Slides().at(static_cast<int>(index)).detailBase)) {
    EndDialog(dialog, 2);
    return TRUE;
  }
  t_background.reset(CreateSolidBrush(kBackground));
  return TRUE;
}

}  // namespace

INT_PTR CALLBACK TextViewerProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: return OnInitDialog(dialog, lParam);
    case WM_CTLCOLORDLG: return reinterpret_cast<INT_PTR>(t_background.get());
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) EndDialog(dialog, 1);
      return TRUE;
    case WM_DESTROY: t_background.reset(); return FALSE;
  }
  return FALSE;
}

}  // namespace velmora::messages
