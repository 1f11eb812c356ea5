// Opening the link: INITCONECTARELASERVER creates or re-attaches the link
// window, prepares the client's identity and the address list, and pumps the
// thread's messages until the server has accepted the client. Each connect
// attempt makes a new asynchronous socket for the current address; the
// connect time-out (timer 3) moves on to the next address, and when none is
// left the give-up decision follows (silent, quiet or the user).

#include <winsock2.h>
#include <windows.h>

#include "common/fixed_text.h"
#include "link/client_identity.h"
#include "link/frame_codec.h"
#include "link/link_api.h"
#include "link/link_state.h"
#include "link/log_line.h"

namespace velmora::link {
namespace {

constexpr UINT kAskStyle = MB_RETRYCANCEL | MB_ICONEXCLAMATION;

COLORREF DialogColour(HWND dialog) {
  HDC dc = GetDC(dialog);
  COLORREF colour = GetPixel(dc, 100, 100);
  ReleaseDC(dialog, dc);
  // A dialog not yet on screen has no pixels to read.
  return colour == CLR_INVALID ? GetSysColor(COLOR_BTNFACE) : colour;
}

void ReattachWindow(HWND parent) {
  LinkState& s = Link();
  SetParent(s.window, parent);
  SubclassParent(parent);
  RECT r{};
  GetWindowRect(parent, &r);
  SetWindowPos(s.window, HWND_TOP, ((r.right - r.left) - kLinkWidth) / 2, ((r.bottom - r.top) - kLinkHeight - 40) / 2,
               kLinkWidth, kLinkHeight, SWP_NOREDRAW);
}

void SettleProgramName() {
  char path[512] = {};
  const auto n = static_cast<DWORD>(ProgramPath().copy(path, sizeof path));
  Link().programName = PadToWidth(n == 0 ? std::string("?") : ProgramNameFromPath(std::string_view(path, n)), 20);
}

void OpenSocket() {
  LinkState& s = Link();
  WRITEINLOGSTARWND("Init socket ..... ");
  s.socket.reset(socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
  if (!s.socket)
    WRITEINLOGSTARWND("Eroare socket(1) - " + LeftErrorCodeField(WSAGetLastError()));
  else
    WRITEINLOGSTARWND("Init socket ok ");
  // Requests go out in pieces of 1,000 bytes; without this the last piece of
  // every longer request would wait for the server's delayed acknowledgement.
  const BOOL noDelay = TRUE;
  if (s.socket)
    setsockopt(s.socket.get(), IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&noDelay), sizeof noDelay);
}

// The address of the current entry; INADDR_NONE when the entry holds none.
unsigned long SettleAddress() {
  LinkState& s = Link();
  if (TrimmedLength(CurrentEntry(s.addresses)) == 0) GETNEXTIPADRESS();
  const std::string entry = CurrentEntry(s.addresses);
  s.currentAddress = entry + std::string(10, ' ');
  s.serverAddress = {};
  s.serverAddress.sin_family = AF_INET;
  s.serverAddress.sin_port = htons(s.addresses.tcpPort);
  const std::string address(AddressPart(entry));
  const unsigned long ip = address.empty() ? INADDR_NONE : inet_addr(address.c_str());
  s.serverAddress.sin_addr.s_addr = ip;
  return ip;
}

}  // namespace

void RequestReconnect() {
  Link().reconnectPending = true;
  PostMessageA(Link().window, kMsgConnect, 0, 0);
}

void DropStaleLinkResults() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, kMsgAbort, kMsgOverrun, PM_REMOVE)) {
  }
  while (PeekMessageA(&msg, nullptr, kMsgReady, kMsgReady, PM_REMOVE)) {
  }
}

int16_t WaitForQualifiedLink() {
  LinkState& s = Link();
  MSG msg;
  for (;;) {
    const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
    if (got == 0) {
      PostQuitMessage(static_cast<int>(msg.wParam));  // the thread's own loop must see it too
      return -1;
    }
    if (got == -1) return -1;
    if (msg.message == kMsgReady) {
      s.reconnectPending = false;
      if (s.addresses.current > 1) WRITELISTAIPOPTIM();
      return 0;
    }
    if (msg.message == kMsgAbort) return -1;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

int16_t INITCONECTARELASERVER(HWND parent, HINSTANCE instance, std::optional<int32_t> clientCode) {
  LinkState& s = Link();
  s.parent = parent;
  WRITEINLOGSTARWND("InitCS - 1");
  if (s.window != nullptr) {
    ReattachWindow(parent);
    WRITEINLOGSTARWND("InitCS - 2");
    if (s.qualified) {
      WRITEINLOGSTARWND("InitCS - 3");
      return 0;
    }
  } else {
    if (s.background == 0) UPDATESTARBKCOLOR(DialogColour(parent));
    const int16_t created = INITFEREASTRASTAR(parent, instance);
    WRITEINLOGSTARWND("InitCS - 4");
    if (created != 0) {
      WRITEINLOGSTARWND("InitCS - 5");
      return -2;
    }
  }
  WRITEINLOGSTARWND("InitCS - 6");
  if (!IsWindow(s.window)) {
    WRITEINLOGSTARWND("InitCS - 7");
    return -3;
  }
  s.currentAddress = std::string(kCurrentAddressWidth, ' ');
  s.qualified = false;
  s.serverClosed = false;
  s.reconnectPending = false;
  WRITEINLOGSTARWND("InitCS - 8");
  if (clientCode)
    s.clientCode = ClientCodeText(*clientCode);
  else
    GETSTRINGCU();
  SettleProgramName();
  WRITEINLOGSTARWND("InitCS - 9");
  if (!IsWindow(parent)) {
    WRITEINLOGSTARWND("InitCS - 10");
    return -4;
  }
  WRITEINLOGSTARWND("InitCS - 11");
  INITLISTAIP();
  WRITEINLOGSTARWND("InitCS - 12");
  if (s.disabledControls.empty()) DISABLECONTROLSINDIALOG();
  WSADATA wsa;
  WSAStartup(MAKEWORD(2, 2), &wsa);
  DropStaleLinkResults();
  PostMessageA(s.window, kMsgConnect, 0, 0);
  const int16_t result = WaitForQualifiedLink();
  // A connect that gives up leaves no control of the dialog disabled.
  if (result != 0) RESTORECONTROLSINDIALOG();
  return result;
}

void OnLinkConnect() {
  LinkState& s = Link();
  if (s.transferBusy) {
    PostMessageA(s.window, kMsgOverrun, 0, 0);
    return;
  }
  WRITEINLOGSTARWND("WM_REC - 1");
  s.qualified = false;
  s.answerPending = false;
  INCHIDECONEXIUNELASERVER();
  ShowWindow(s.window, s.showCommand);
  s.frame = 0;
  WRITEINLOGSTARWND("WM_REC - 2");
  KILL_STARWND_TIMERS();
  if (s.serverClosed) {
    const int answer = s.modes.quiet ? IDCANCEL : LinkMessageBox(s.parent, kTextServerRefused, "Vantor", kAskStyle);
    if (answer != IDRETRY) {
      PostMessageA(s.parent, kMsgAbort, 0, 0);
      return;
    }
  }
  if (s.disabledControls.empty()) DISABLECONTROLSINDIALOG();
  OpenSocket();
  const unsigned long ip = SettleAddress();
  SetStatusText(kStatusConnecting);
  InvalidateLink();
  WRITEINLOGSTARWND("Init WSAA ..... (" + s.currentAddress + ")");
  if (WSAAsyncSelect(s.socket.get(), s.window, kMsgSocket, FD_READ | FD_WRITE | FD_CONNECT | FD_CLOSE) != 0) {
    const int code = WSAGetLastError();
    LogErrorCode("Eroare WSAAsyncSelect() - Cod eroare: ", code);
    LinkMessageBox(s.window, "*** Eroare WSAAsyncSelect(). Cod eroare: " + std::to_string(code), "Vantor", MB_ICONERROR);
    ON_CALL_EXIT(-203);
  }
  WRITEINLOGSTARWND("Init WSAA ok");
  SetTimer(s.window, kTimerAnimation, kAnimationPeriodMs, nullptr);
  // An entry without an address is never dialled; its time-out moves on.
  if (ip != INADDR_NONE)
    connect(s.socket.get(), reinterpret_cast<const sockaddr*>(&s.serverAddress), sizeof s.serverAddress);
  SetTimer(s.window, kTimerConnect, kConnectPeriodMs, nullptr);
}

void OnLinkSocket(WPARAM wParam, LPARAM lParam) {
  LinkState& s = Link();
  // Notifications still queued for a socket closed since are not ours any more.
  if (static_cast<SOCKET>(wParam) != s.socket.get()) return;
  const WORD event = WSAGETSELECTEVENT(lParam);
  if (WSAGETSELECTERROR(lParam) != 0) {
    const int code = WSAGetLastError();
    if (code == 0 || code == WSAEWOULDBLOCK) return;
    LogErrorCode("Eroare WM_SOCKET() - Cod eroare: ", code);
    GETNEXTIPADRESS();
    RequestReconnect();
    return;
  }
  switch (event) {
    case FD_CONNECT: OnFdConnect(); break;
    case FD_WRITE: OnFdWrite(); break;
    case FD_READ: OnFdRead(); break;
    case FD_CLOSE:
      s.serverClosed = !s.qualified;
      RequestReconnect();
      break;
    default: break;
  }
}

void OnConnectTimeout() {
  LinkState& s = Link();
  WRITEINLOGSTARWND(" .... timeout error - 1");
  KillTimer(s.window, kTimerConnect);
  if (GETNEXTIPADRESS() == -1) {
    WRITEINLOGSTARWND("WMT3 - 2");
    GiveUpChoice choice = ConnectGiveUpChoice(s.modes);
    if (choice == GiveUpChoice::kAsk)
      choice = LinkMessageBox(s.parent, kTextConnectImpossible, "Corvane", kAskStyle) == IDRETRY ? GiveUpChoice::kRetry
                                                                                                : GiveUpChoice::kCancel;
    if (choice == GiveUpChoice::kCancel) {
      PostMessageA(s.parent, kMsgAbort, 0, 0);
      SendMessageA(s.parent, WM_COMMAND, IDCANCEL, 0);
      return;
    }
    INITLISTAIP();
    s.addresses.refreshed = false;
    s.addresses.listLoaded = false;
    s.addresses.current = 1;
  }
  WRITEINLOGSTARWND("WMT3 - 3");
  PostMessageA(s.window, kMsgConnect, 0, 0);
}

}  // namespace velmora::link
