// Opening the link: INITCONECTARELASERVER creates or re-attaches the link
// window, prepares the client's identity and the address list, and pumps the
// thread's messages until the server has accepted the client. Each connect
// attempt makes a new asynchronous socket for the current address; the
// connect time-out (timer 3) moves on to the next address, and when none is
// left it posts the give-up outcome, decided in link_decide.cpp.

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
  SetWindowPos(s.window, HWND_TOP, ((r.right - r.left) - kLinkWidth) / 2,
               ((r.bottom - r.top) - kLinkHeight - 40) / 2, kLinkWidth, kLinkHeight, SWP_NOREDRAW);
}

void SettleProgramName() {
  char path[512] = {};
  const auto n = static_cast<DWORD>(ProgramPath().copy(path, sizeof path));
  Link().programName =
      PadToWidth(n == 0 ? std::string("?") : ProgramNameFromPath(std::string_view(path, n)), 20);
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
    setsockopt(s.socket.get(), IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&noDelay),
               sizeof noDelay);
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
  LinkState& s = Link();
  if (OperationRunning(LinkOperationKind::kExchange)) {
    // The exchange ends with an overrun, unless its answer is queued before
    // it; either way the connection is reopened once the exchange is over.
    s.reconnectDue = true;
    ReportOutcome(LinkOutcome::kOverrun);
    return;
  }
  if (!OperationRunning(LinkOperationKind::kConnect)) BeginOperation(LinkOperationKind::kConnect);
  PostMessageA(s.window, kMsgConnect, 0, 0);
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
  BeginOperation(LinkOperationKind::kConnect);
  PostMessageA(s.window, kMsgConnect, 0, 0);
  const int16_t result = WaitForOperation() == LinkOutcome::kReady ? 0 : -1;
  // A connect that gives up leaves no control of the dialog disabled.
  if (result != 0) RESTORECONTROLSINDIALOG();
  return result;
}

void OnLinkConnect() {
  LinkState& s = Link();
  if (s.transferBusy) {
    // The exchange ends with an overrun, unless its answer is already
    // queued; either way the connection is reopened after it.
    s.reconnectDue = true;
    ReportOutcome(LinkOutcome::kOverrun);
    return;
  }
  s.reconnectDue = false;
  WRITEINLOGSTARWND("WM_REC - 1");
  s.qualified = false;
  s.answerPending = false;
  INCHIDECONEXIUNELASERVER();
  ShowWindow(s.window, s.showCommand);
  s.frame = 0;
  WRITEINLOGSTARWND("WM_REC - 2");
  KILL_STARWND_TIMERS();
  // Whether to dial again after a refusal is the user's decision, taken outside this handler.
  if (s.serverClosed) {
    ReportOutcome(LinkOutcome::kRefused);
    return;
  }
  DialConnection();
}

void DialConnection() {
  LinkState& s = Link();
  if (s.disabledControls.empty()) DISABLECONTROLSINDIALOG();
  OpenSocket();
  const unsigned long ip = SettleAddress();
  SetStatusText(kStatusConnecting);
  InvalidateLink();
  WRITEINLOGSTARWND("Init WSAA ..... (" + s.currentAddress + ")");
  if (WSAAsyncSelect(s.socket.get(), s.window, kMsgSocket,
                     FD_READ | FD_WRITE | FD_CONNECT | FD_CLOSE) != 0) {
    const int code = WSAGetLastError();
    LogErrorCode("Eroare WSAAsyncSelect() - Cod eroare: ", code);
    ReportOutcome(LinkOutcome::kSelectFailed, code);
    return;
  }
  WRITEINLOGSTARWND("Init WSAA ok");
  SetTimer(s.window, kTimerAnimation, s.periods.animationMs, nullptr);
  // An entry without an address is never dialled; its time-out moves on.
  if (ip != INADDR_NONE)
    connect(s.socket.get(), reinterpret_cast<const sockaddr*>(&s.serverAddress),
            sizeof s.serverAddress);
  SetTimer(s.window, kTimerConnect, s.periods.connectMs, nullptr);
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
    ReportOutcome(LinkOutcome::kGaveUp);  // retry or give up: decided outside this handler
    return;
  }
  WRITEINLOGSTARWND("WMT3 - 3");
  PostMessageA(s.window, kMsgConnect, 0, 0);
}

}  // namespace velmora::link
