#pragma once
// The module-level state of the server link (one link per process) and the
// routines the link's own files share. Everything here is touched only by
// the one thread that has opened the link; nothing is locked.

#include <winsock2.h>
#include <windows.h>

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "common/program_path.h"
#include "common/win_handles.h"
#include "link/address_table.h"
#include "link/link_constants.h"
#include "link/link_wait.h"
#include "link/ring_paint.h"
#include "link/transfer_buffer.h"
#include "link/transfer_counters.h"

namespace velmora::link {

struct LinkState {
  HWND parent = nullptr;
  HWND window = nullptr;
  WNDPROC previousDialogProc = nullptr;
  HWND savedFocus = nullptr;
  std::vector<HWND> disabledControls;
  AutoSocket socket;
  sockaddr_in serverAddress{};
  std::string currentAddress = std::string(kCurrentAddressWidth, ' ');
  std::string status = std::string(100, ' ');
  int frame = 0;
  COLORREF background = 0;
  int width = kLinkWidth;
  int height = kLinkHeight;
  int showCommand = SW_SHOW;
  TransferBuffer sendBuffer;
  TransferBuffer receiveBuffer;
  std::array<AutoBrush, kBrushCount> brushes;
  AutoFont font;
  std::string clientCode = std::string(10, ' ');
  std::string programName = std::string(20, ' ');
  std::string documentsDirectory = std::string(40, ' ');

  bool qualified = false;
  bool qualifying = false;
  bool answerPending = false;
  bool transferBusy = false;
  bool serverClosed = false;
  bool answerMarked = false;
  bool erpMode = false;
  bool classRegistered = false;
  // The exchange running now has been shown (window and disabled controls):
  // it outlasted the first animation frame.
  bool exchangeShown = false;
  // Timer 2 was left running when the last exchange ended, for the next one
  // (exchanges one after the other then cost no timer calls); the first tick
  // with no exchange running stops it.
  bool animationLingers = false;
  // Animation ticks still to come before the running exchange is shown: a
  // timer taken over from the last exchange may tick before a whole frame.
  int ticksBeforeShowing = 0;
  // A decision is under way; its message box must not start another.
  bool deciding = false;
  // A reconnect was asked for while a transfer ran: it follows the transfer.
  bool reconnectDue = false;
  // When the running exchange last moved a byte (GetTickCount); the answer
  // watchdog measures its period from here.
  DWORD lastProgress = 0;
  LinkPeriods periods;
  LinkOperation operation;
  LinkModes modes;
  TransferCounters transfer;
  ServerAddressTable addresses;
};

LinkState& Link();

inline constexpr char kClassName[] = "ef_WndClass";
inline constexpr char kWindowName[] = "CorvaneStarWnd";

// Window procedures and the enumeration callback.
LRESULT CALLBACK StarWnd_WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK MyDlg_WndProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
BOOL CALLBACK EnumFuncDisableCtrlDlg(HWND child, LPARAM dialog);

// Painting: STARWND_ONPAINT draws into the window; PaintLinkImage draws the
// same picture onto any device context (tests read its pixels).
void STARWND_ONPAINT(HWND window);
void PaintLinkImage(HDC target, const RECT& client);

// Shared inside the link.
void SetStatusText(std::string_view text);
void InvalidateLink();
void SubclassParent(HWND dialog);
void RestoreParentProcedure();
void OnLinkConnect();                             // ConnectFunc.cpp
void OnLinkSocket(WPARAM wParam, LPARAM lParam);  // ConnectFunc.cpp
void OnConnectTimeout();                          // ConnectFunc.cpp
// The part of a connect attempt after the refusal question: socket, address, dial.
void DialConnection();    // ConnectFunc.cpp
void OnFdConnect();       // SendRecv_Func.cpp
void OnFdWrite();         // SendRecv_Func.cpp
void OnFdRead();          // SendRecv_Func.cpp
void OnAnswerWatchdog();  // SendRecv_Func.cpp
// Timer 2: the next frame, and a running exchange shown once it has lasted one.
void OnAnimationTick();  // SendRecv_Func.cpp
// Stops timer 2 (the ring stands still).
void StopAnimation();  // SendRecv_Func.cpp
// The end of a send-and-wait, whatever ended it: timers, window, controls;
// the result code of SENDBUFFERTOSERVER for that outcome.
int16_t FinishExchange(LinkOutcome outcome);  // SendRecv_Func.cpp
// Asks for the connection to be reopened (WM_LINK_CONNECT); unless an
// operation runs, that is a connect of its own, which the next exchange
// awaits. During an exchange it ends the exchange and follows it.
void RequestReconnect();
const AddressListEnvironment& AddressEnvironment();
// Message box through the seam, owner and caption as given.
int LinkMessageBox(HWND owner, std::string_view text, std::string_view caption, UINT style);
// Logs `prefix` followed by the code right-aligned in 10 within 12.
void LogErrorCode(std::string_view prefix, long long code);

}  // namespace velmora::link
