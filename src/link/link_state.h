#pragma once
// The module-level state of the server link (one link per process) and the
// routines the link's own files share. Everything here is touched only by
// the one thread that has opened the link; nothing is locked.

#include <windows.h>
#include <winsock2.h>

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "common/program_path.h"
#include "common/win_handles.h"
#include "link/address_table.h"
#include "link/link_constants.h"
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
  // A failed exchange asked for the connection to be reopened; the next
  // exchange waits for that first.
  bool reconnectPending = false;
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
void OnLinkConnect();                                  // ConnectFunc.cpp
void OnLinkSocket(WPARAM wParam, LPARAM lParam);       // ConnectFunc.cpp
void OnConnectTimeout();                               // ConnectFunc.cpp
void OnFdConnect();                                    // SendRecv_Func.cpp
void OnFdWrite();                                      // SendRecv_Func.cpp
void OnFdRead();                                       // SendRecv_Func.cpp
void OnAnswerWatchdog();                               // SendRecv_Func.cpp
// Pumps messages until the link is qualified: 0, or -1 given up, aborted or WM_QUIT.
int16_t WaitForQualifiedLink();
// Posts WM_LINK_CONNECT and notes that the next exchange must wait for it.
void RequestReconnect();
// Drops stale results of an earlier wait still in the thread's queue.
void DropStaleLinkResults();
const AddressListEnvironment& AddressEnvironment();
// Message box through the seam, owner and caption as given.
int LinkMessageBox(HWND owner, std::string_view text, std::string_view caption, UINT style);
// Logs `prefix` followed by the code right-aligned in 10 within 12.
void LogErrorCode(std::string_view prefix, long long code);

}  // namespace velmora::link
