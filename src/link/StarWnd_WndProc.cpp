// The link window: a 200 x 55 child of the dialog that uses the link. It is
// created on the thread that opens the link, receives the socket
// notifications, runs the link's timers (2 animation, 3 connect time-out,
// 5 parent watch, 7 answer watchdog) and paints the link's progress. While it
// exists the parent dialog is subclassed so that its Cancel button aborts the
// current wait. All state is module-level (link_state.h) and belongs to the
// thread that opened the link.

#include <winsock2.h>
#include <windows.h>

#include "common/fixed_text.h"
#include "link/link_api.h"
#include "link/link_state.h"

namespace velmora::link {
namespace {

bool IsNtFamily() { return (GetVersion() & 0x80000000u) == 0; }

void ReportResourceError(unsigned long code) {
  LinkMessageBox(nullptr, "Eroare (" + std::to_string(code) + ")", "Quillon", MB_ICONERROR);
}

bool RegisterLinkClass(HINSTANCE instance) {
  LinkState& s = Link();
  if (s.classRegistered) return true;
  WNDCLASSA wc{};
  wc.style = CS_VREDRAW | CS_HREDRAW | CS_OWNDC;
  wc.lpfnWndProc = StarWnd_WndProc;
  wc.hInstance = instance;
  wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_MENU + 1));
  wc.lpszClassName = kClassName;
  if (RegisterClassA(&wc) == 0) ReportResourceError(GetLastError());
  s.classRegistered = true;  // a failed registration is not tried again
  return true;
}

void MakeBrushes() {
  LinkState& s = Link();
  s.brushes[0].reset(CreateSolidBrush(s.background));
  for (int i = 0; i < 4; ++i) {
    s.brushes[static_cast<std::size_t>(1 + i)].reset(
        CreateSolidBrush(kGreens[static_cast<std::size_t>(i)]));
    s.brushes[static_cast<std::size_t>(5 + i)].reset(
        CreateSolidBrush(kReds[static_cast<std::size_t>(i)]));
  }
  s.brushes[9].reset(CreateSolidBrush(kGrey));
}

void MakeFont() {
  LOGFONTA lf{};
  lf.lfHeight = 12;
  lf.lfWeight = 400;
  lf.lfCharSet = EASTEUROPE_CHARSET;  // Romanian letters on a system set to any language
  lstrcpynA(lf.lfFaceName, "Tahoma", LF_FACESIZE);
  Link().font.reset(CreateFontIndirectA(&lf));
}

void AllocateOrEnd(TransferBuffer& buffer, const char* failureText) {
  if (buffer.Allocate(kTransferBufferSize)) return;
  LinkMessageBox(nullptr, failureText, "Quillon", MB_ICONERROR);
  ExitProcess(0);
}

LRESULT OnCreate(HWND window) {
  LinkState& s = Link();
  s.window = window;
  s.parent = GetParent(window);
  MakeBrushes();
  MakeFont();
  AllocateOrEnd(s.receiveBuffer, "Eroare alocare memorie (5)");
  AllocateOrEnd(s.sendBuffer, "Eroare alocare memorie (6)");
  SubclassParent(s.parent);
  SetTimer(window, kTimerParent, s.periods.parentMs, nullptr);
  return 0;
}

void OnDestroy(HWND window) {
  RestoreParentProcedure();
  // Kept alive when the parent goes first, so that timer 5 can end the wait.
  if (IsNtFamily()) SetParent(window, GetDesktopWindow());
}

void OnTimer(UINT_PTR id) {
  LinkState& s = Link();
  switch (id) {
    case kTimerAnimation: OnAnimationTick(); break;
    case kTimerConnect: OnConnectTimeout(); break;
    case kTimerParent:
      if (!IsWindow(s.parent)) ReportOutcome(LinkOutcome::kAborted);
      break;
    case kTimerAnswer: OnAnswerWatchdog(); break;
    default: break;
  }
}

}  // namespace

LRESULT CALLBACK StarWnd_WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE: return OnCreate(window);
    case WM_DESTROY: OnDestroy(window); return 0;
    case WM_PAINT: STARWND_ONPAINT(window); return 0;
    case WM_CLOSE: CLEANUPSTARWND(); return 0;
    case WM_ERASEBKGND: return 0;
    case WM_KEYDOWN:
      if (wParam == VK_ESCAPE) ReportOutcome(LinkOutcome::kAborted);
      return 0;
    case WM_TIMER: OnTimer(wParam); return 0;
    case kMsgConnect: OnLinkConnect(); return 0;
    case kMsgSocket: OnLinkSocket(wParam, lParam); return 0;
    // Outcomes that no wait took (a reconnect running from the thread's own loop).
    case kMsgAbort:
    case kMsgTimeout:
    case kMsgAnswer:
    case kMsgOverrun:
    case kMsgReady:
    case kMsgGaveUp:
    case kMsgRefused:
    case kMsgSelectFailed: OnOutcomeMessage(message, wParam, lParam); return 0;
    default: return DefWindowProcA(window, message, wParam, lParam);
  }
}

int16_t INITFEREASTRASTAR(HWND parent, HINSTANCE instance) {
  RegisterLinkClass(instance);
  RECT r{};
  GetWindowRect(parent, &r);
  const int x = ((r.right - r.left) - kLinkWidth) / 2;
  const int y = ((r.bottom - r.top) - kLinkHeight - 40) / 2;
  HWND window = CreateWindowExA(0, kClassName, kWindowName, WS_CHILD, x, y, kLinkWidth, kLinkHeight,
                                parent, nullptr, instance, nullptr);
  if (window == nullptr) {
    ReportResourceError(GetLastError());
    Link().window = nullptr;
    return -2;
  }
  Link().window = window;
  ShowWindow(window, SW_HIDE);
  return 0;
}

void CLEANUPSTARWND() {
  LinkState& s = Link();
  for (auto& brush : s.brushes) brush.reset();
  s.font.reset();
  s.sendBuffer.Free();
  s.receiveBuffer.Free();
  WSACleanup();
}

void UPDATESTARBKCOLOR(COLORREF colour) {
  LinkState& s = Link();
  s.background = colour;
  s.brushes[0].reset(CreateSolidBrush(colour));
}

void SETSTARWNDBKCOLOR(COLORREF colour) { Link().background = colour; }

void SETSTARWNDPOS(int16_t x, int16_t y, int16_t width, int16_t height) {
  LinkState& s = Link();
  int w = width, h = height;
  if (w < 1 || h < 1) {
    RECT r{};
    GetWindowRect(s.window, &r);
    w = r.right - r.left;
    h = r.bottom - r.top;
  }
  MoveWindow(s.window, x, y, w, h, TRUE);
  s.width = w;
  s.height = h;
}

void FREESTARPARENT() {
  LinkState& s = Link();
  RestoreParentProcedure();
  SetParent(s.window, IsNtFamily() ? GetDesktopWindow() : nullptr);
}

void SETNETLIBSILENTMODE(int16_t mode) { Link().modes.Set(mode); }

void SETSTARERPMODE(bool erpMode) { Link().erpMode = erpMode; }

void KILL_STARWND_TIMERS() {
  HWND window = Link().window;
  StopAnimation();
  KillTimer(window, kTimerConnect);
  KillTimer(window, kTimerAnswer);
}

int INCHIDECONEXIUNELASERVER() {
  LinkState& s = Link();
  s.socket.reset();
  s.qualified = false;
  s.answerPending = false;
  s.reconnectDue = false;
  return 0;
}

void INCHIDECONECTARELASERVER() {
  LinkState& s = Link();
  INCHIDECONEXIUNELASERVER();
  CLEANUPSTARWND();
  RestoreParentProcedure();
  if (s.window != nullptr) DestroyWindow(s.window);
  s.window = nullptr;
  if (!s.operation.ended) EndOperation(LinkOutcome::kAborted);  // nothing may go on waiting for it
  s.transferBusy = false;
  s.qualifying = false;
  s.animationLingers = false;
}

void ON_CALL_EXIT(int16_t exitStatus) {
  LinkState& s = Link();
  INCHIDECONEXIUNELASERVER();
  if (s.window != nullptr) DestroyWindow(s.window);
  s.window = nullptr;
  CLEANUPSTARWND();
  ExitProcess(static_cast<UINT>(static_cast<int>(exitStatus)));
}

}  // namespace velmora::link
