#include "shell/main_dialog.h"

#include <mmsystem.h>

#include <atomic>

#include "common/delay_switch.h"
#include "common/fixed_text.h"
#include "common/shared_state.h"
#include "common/ui_seams.h"
#include "common/wide_text.h"
#include "erpdirs/erp_environment.h"
#include "messages/messages.h"
#include "postman/postman.h"
#include "shell/app_log.h"
#include "shell/app_state.h"
#include "shell/main_dialog_layout.h"
#include "shell/main_dialog_state.h"
#include "shell/module_launch.h"
#include "shell/showcase_library.h"
#include "update/slide_table.h"
#include "update/update_check.h"

// The main dialog runs on the main thread for the whole life of the program.
// Its timers start the background work; its handle is published for the
// background threads, which only show or hide the update banner through it.

namespace velmora::shell {
namespace {

std::atomic<HWND> g_published{nullptr};

void SubclassModuleButtons(MainDialogState& state) {
  for (std::size_t i = 0; i < state.moduleButtons.size(); ++i)
    state.previousButtonProcs[i] = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
        state.moduleButtons[i], GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ModuleButtonProc)));
}

void SetButtonBitmaps(MainDialogState& state) {
  for (std::size_t i = 0; i < state.moduleButtons.size(); ++i) {
    const int id = IDB_VANTOR + static_cast<int>(i);
    state.buttonBitmaps[i].reset(LoadBitmapA(App().instance, MAKEINTRESOURCEA(id)));
    SendMessageA(state.moduleButtons[i], BM_SETIMAGE, IMAGE_BITMAP,
                 reinterpret_cast<LPARAM>(state.buttonBitmaps[i].get()));
  }
}

void ShowPlaceholder(MainDialogState& state) {
  SetDlgItemText1250(state.dialog, IDC_MESSAGE_EDIT, kPlaceholderText);
  state.placeholderShown = true;
}

void PrepareSlideShow(HWND dialog, MainDialogState& state) {
  if (update::Slides().count <= 0) {
    ShowWindow(GetDlgItem(dialog, IDC_NO_SLIDES_PICTURE), SW_SHOW);
    for (const int id :
         {IDC_SLIDE_AREA, IDC_SLIDE_CAPTION, IDC_BUTTON_SEND, IDC_BUTTON_HISTORY, IDC_MESSAGE_EDIT})
      ShowWindow(GetDlgItem(dialog, id), SW_HIDE);
    return;
  }
  SetTimer(dialog, timer::kSlide, 10, nullptr);
  SetDlgItemText1250(dialog, IDC_SLIDE_CAPTION, "");
  SendDlgItemMessageA(dialog, IDC_SLIDE_CAPTION, WM_SETFONT,
                      reinterpret_cast<WPARAM>(state.font.get()), TRUE);
}

void ConfigureMessageFiles(const MainDialogState& state) {
  messages::MessagesSetup setup;
  setup.instance = App().instance;
  setup.inboxFile = App().paths.inboxFile;
  setup.outgoingFolder = App().paths.outgoingFolder;
  setup.viewerFont = state.font.get();
  messages::ConfigureMessages(setup);
}

// The postman's hook: the message history announces what a pass's message
// check brought, modal on the postman thread and without owner.
void AnnounceReceivedMessage() {
  DialogBoxParamW(App().instance, MAKEINTRESOURCEW(IDD_MESSAGE_HISTORY), nullptr,
                  &messages::MessageHistoryProc, 0);
}

void StartBackgroundPostman(HWND newsStrip) {
  AppState& app = App();
  postman::PostmanSetup setup;
  setup.instance = app.instance;
  setup.outgoingDirectory = app.paths.outgoingFolder;
  setup.sentDirectory = app.paths.sentFolder;
  setup.newsStrip = newsStrip;
  setup.fileBuffer = {app.postmanBuffer.data(), app.postmanBuffer.size()};
  setup.announceMessage = &AnnounceReceivedMessage;
  postman::StartPostman(setup);
}

BOOL OnInitDialog(HWND dialog) {
  MainDialogState& state = MainDialogData();
  state.dialog = dialog;
  state.slideArea = GetDlgItem(dialog, IDC_SLIDE_AREA);
  g_published = dialog;

  RefreshCaption(dialog);
  erpdirs::PrepareErpEnvironment(dialog);
  SetClassLongPtrA(dialog, GCLP_HICON,
                   reinterpret_cast<LONG_PTR>(LoadIconA(App().instance, "VELMORA")));

  for (std::size_t i = 0; i < state.moduleButtons.size(); ++i)
    state.moduleButtons[i] = GetDlgItem(dialog, IDC_BUTTON_VANTOR + static_cast<int>(i));
  state.lightGrey.reset(CreateSolidBrush(0xEEEEEE));
  state.font.reset(
      CreateFontA(16, 0, 0, 0, FW_NORMAL, 0, 0, 0, EASTEUROPE_CHARSET, 0, 0, 0, 0, "Arial"));
  SetButtonBitmaps(state);
  SubclassModuleButtons(state);
  ConfigureMessageFiles(state);

  if (update::CheckForUpdates(UpdateSetupFor(dialog)) == 0)
    SetTimer(dialog, timer::kUpdateCheck, DelayMs(kUpdateCheckDelayVariable, 7000), nullptr);

  const HWND strip = CreateDialogParamW(App().instance, MAKEINTRESOURCEW(IDD_NEWS_STRIP),
                                        GetDlgItem(dialog, IDC_NEWS_HOST), &NewsStripProc, 0);
  ShowWindow(strip, SW_SHOW);
  SetFocus(state.moduleButtons[0]);

  ShowPlaceholder(state);
  SendDlgItemMessageA(dialog, IDC_MESSAGE_EDIT, WM_SETFONT,
                      reinterpret_cast<WPARAM>(state.font.get()), TRUE);
  ApplyMainDialogLayout(dialog);
  SendDlgItemMessageA(dialog, IDC_MESSAGE_EDIT, EM_LIMITTEXT, 900, 0);
  PrepareSlideShow(dialog, state);

  StartBackgroundPostman(strip);
  SetTimer(dialog, timer::kSchedule, 100, nullptr);
  Shared().newMessage = false;
  SetTimer(dialog, timer::kNewMessage, 100, nullptr);

  state.previousSlideAreaProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(state.slideArea, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SlideAreaProc)));
  state.sendCount = 0;
  return FALSE;  // the focus is set
}

void OnNewMessageTimer(HWND dialog) {
  SharedState& shared = Shared();
  if (!shared.newMessage) return;
  KillTimer(dialog, timer::kNewMessage);
  const std::string notice = shared.received.Peek();
  if (TrimmedLength(notice) == 0) return;
  messages::AppendInboxEntry(TrimTrailingBlanks(notice), "Corvane");
  RunAssistantKeepingDirectory(dialog);
  PlaySoundSeam(MAKEINTRESOURCEA(IDW_NEW_MESSAGE), App().instance, SND_RESOURCE | SND_ASYNC);
}

void OnTimer(HWND dialog, UINT_PTR id) {
  switch (id) {
    case timer::kUpdateCheck:
      WriteAppLog("timer 1 ....");
      KillTimer(dialog, timer::kUpdateCheck);
      update::StartUpdateCheckThread(UpdateSetupFor(dialog));
      break;
    case timer::kSlide: ShowNextSlide(); break;
    case timer::kSchedule:
      KillTimer(dialog, timer::kSchedule);
      if (Shared().clientCode != 0) update::StartScheduleUpdateThread(UpdateSetupFor(dialog));
      break;
    case timer::kNewMessage: OnNewMessageTimer(dialog); break;
    case timer::kSlideSound:
      KillTimer(dialog, timer::kSlideSound);
      PlayCurrentSlideSound();
      break;
  }
}

void OnCommand(HWND dialog, int id, int notification) {
  MainDialogState& state = MainDialogData();
  switch (id) {
    case IDOK:
    case IDC_BUTTON_F2: EndDialog(dialog, 1); break;
    case IDCANCEL:
      Sleep(100);
      EndDialog(dialog, 2);
      break;
    case IDC_BUTTON_UPDATE: {
      std::string message;
      if (RunSelfUpdate(message) == 0)
        EndDialog(dialog, 1);
      else
        ShowMessageBox(dialog, message, "Corvane", MB_ICONWARNING);
      break;
    }
    case IDC_MESSAGE_EDIT:
      if (notification == EN_SETFOCUS && state.placeholderShown) {
        SetDlgItemText1250(dialog, IDC_MESSAGE_EDIT, "");
        state.placeholderShown = false;
      }
      break;
    case IDC_BUTTON_SEND: OnSendMessage(dialog); break;
    case IDC_BUTTON_HISTORY:
      DialogBoxParamW(App().instance, MAKEINTRESOURCEW(IDD_MESSAGE_HISTORY), dialog,
                      &messages::MessageHistoryProc, 1);
      break;
    default: OnModuleCommand(dialog, id); break;
  }
}

// Static texts: black on the slide caption, dark grey on the assistant's
// hint and separator, dark green elsewhere; always on a see-through background.
INT_PTR OnControlColorStatic(HDC dc, HWND control) {
  switch (GetDlgCtrlID(control)) {
    case IDC_SLIDE_CAPTION:
      SetTextColor(dc, RGB(0, 0, 0));
      SetBkMode(dc, TRANSPARENT);
      break;
    case IDC_ASSISTANT_HINT:
    case IDC_ASSISTANT_SEPARATOR:
      SetTextColor(dc, 0x222222);
      SetBkMode(dc, TRANSPARENT);
      break;
    default: SetTextColor(dc, 0x114400); break;
  }
  return reinterpret_cast<INT_PTR>(GetStockObject(NULL_BRUSH));
}

bool StrictlyInside(const RECT& r, POINT p) {
  return p.x > r.left && p.x < r.right && p.y > r.top && p.y < r.bottom;
}

INT_PTR OnLeftButtonDown(HWND dialog) {
  MainDialogState& state = MainDialogData();
  if (!CurrentSlideHasDetail()) return 0;
  GetCursorPos(&state.lastClick);
  GetWindowRect(state.slideArea, &state.lastClickArea);
  if (StrictlyInside(state.lastClickArea, state.lastClick)) {
    SetCursor(App().handCursor);
    OpenSlideDetail(dialog);
  }
  return 0;
}

INT_PTR OnSetCursor(HWND dialog) {
  MainDialogState& state = MainDialogData();
  state.hoverBand = false;
  if (state.bandPainted) {
    InvalidateRect(state.slideArea, nullptr, TRUE);
    state.bandPainted = false;
  }
  if (!CurrentSlideHasDetail()) return 0;
  if (!StrictlyInside(state.lastClickArea, state.lastClick)) return 0;
  SetCursor(App().handCursor);
  SetWindowLongPtrA(dialog, DWLP_MSGRESULT, TRUE);
  return TRUE;
}

}  // namespace

MainDialogState& MainDialogData() {
  static MainDialogState state;
  return state;
}

HWND MainDialogHandle() { return g_published; }

INT_PTR CALLBACK MainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: return OnInitDialog(dialog);
    case WM_COMMAND: OnCommand(dialog, LOWORD(wParam), HIWORD(wParam)); return 0;
    case WM_TIMER: OnTimer(dialog, wParam); return 0;
    case WM_SETCURSOR: return OnSetCursor(dialog);
    case WM_CTLCOLORSTATIC:
      return OnControlColorStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_LBUTTONDOWN: return OnLeftButtonDown(dialog);
  }
  return 0;
}

void ReleaseMainDialogBitmapsAndBrush() {
  MainDialogState& state = MainDialogData();
  for (auto& bitmap : state.buttonBitmaps) bitmap.reset();
  state.lightGrey.reset();
}

void ReleaseMainDialogFont() { MainDialogData().font.reset(); }

}  // namespace velmora::shell
