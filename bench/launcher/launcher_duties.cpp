#include <winsock2.h>
#include <windows.h>
#include <mmsystem.h>

#include <cstdio>
#include <cstring>

#include "minimal_duties.h"

namespace {

// The launcher's port on the server named first in iplist.txt beside the program.
constexpr u_short kServerPort = 5150;
constexpr int kGreetingWave = 1;

// An empty dialog that runs hidden until the process ends, as the launcher's
// news and postman threads do: hidden at once and again when the modal loop
// has shown it.
INT_PTR CALLBACK HiddenProcedure(HWND dialog, UINT message, WPARAM, LPARAM) {
  if (message == WM_INITDIALOG) {
    ShowWindow(dialog, SW_HIDE);
    SetTimer(dialog, 1, 100, nullptr);
    return TRUE;
  }
  if (message == WM_TIMER) {
    ShowWindow(dialog, SW_HIDE);
    KillTimer(dialog, 1);
    return TRUE;
  }
  return FALSE;
}

void RunHiddenDialog() {
  struct {
    DLGTEMPLATE header;
    WORD menu, windowClass, title;
  } dialog{};
  dialog.header.style = WS_POPUP;
  DialogBoxIndirectParamA(GetModuleHandleA(nullptr), &dialog.header, nullptr, HiddenProcedure, 0);
}

void AskServer() {
  char address[64] = {};
  if (std::FILE* list = std::fopen("iplist.txt", "r")) {
    if (std::fgets(address, sizeof address, list) != nullptr)
      address[std::strcspn(address, "\r\n")] = 0;
    std::fclose(list);
  }
  WSADATA data;
  if (WSAStartup(MAKEWORD(2, 2), &data) != 0) return;
  const SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in server{};
  server.sin_family = AF_INET;
  server.sin_port = htons(kServerPort);
  server.sin_addr.s_addr = inet_addr(address);
  if (s != INVALID_SOCKET) {
    connect(s, reinterpret_cast<const sockaddr*>(&server), sizeof server);
    closesocket(s);
  }
}

DWORD WINAPI SecondThread(LPVOID) {
  RunHiddenDialog();
  return 0;
}

DWORD WINAPI FirstThread(LPVOID) {
  AskServer();
  if (const HANDLE second = CreateThread(nullptr, 0, SecondThread, nullptr, 0, nullptr))
    CloseHandle(second);
  RunHiddenDialog();
  return 0;
}

}  // namespace

void TakeStartDuties(HINSTANCE instance) {
  PlaySoundA(MAKEINTRESOURCEA(kGreetingWave), instance, SND_RESOURCE | SND_ASYNC);
}

void StartBackgroundDuties() {
  if (const HANDLE first = CreateThread(nullptr, 0, FirstThread, nullptr, 0, nullptr))
    CloseHandle(first);
}
