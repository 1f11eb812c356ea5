#include "postman/postman_thread.h"

#include <atomic>

#include "common/delay_switch.h"
#include "link/link_api.h"
#include "postman/pass_rules.h"
#include "postman/postman.h"
#include "postman/sync_pass.h"
#include "resource_ids.h"

// Everything here runs on the postman thread, which lives until the process
// ends; its dialog and pass period belong to it alone.

namespace velmora::postman {
namespace {

constexpr UINT_PTR kStartTimer = 1;
constexpr UINT_PTR kPassTimer = 2;
constexpr UINT kStartDelayMs = 100;

std::atomic<HWND> g_postmanDialog{nullptr};
int32_t g_passPeriod = kFirstPassPeriodMs;

PassPlace PlaceOf(HWND dialog) {
  const PostmanSetup& setup = AdoptedPostmanSetup();
  return {.dialog = dialog,
          .instance = setup.instance,
          .outgoing = setup.outgoingDirectory,
          .sent = setup.sentDirectory,
          .buffer = setup.fileBuffer,
          .pauseMs = kPassPauseMs,
          .announceMessage = setup.announceMessage};
}

void OnInitDialog(HWND dialog) {
  g_postmanDialog = dialog;
  ShowWindow(dialog, SW_HIDE);
  link::SETNETLIBSILENTMODE(1);
  link::SETSTARERPMODE(true);
  SetTimer(dialog, kStartTimer, kStartDelayMs, nullptr);
}

void OnTimer(HWND dialog, UINT_PTR id) {
  if (id == kStartTimer) {
    ShowWindow(dialog, SW_HIDE);
    KillTimer(dialog, kStartTimer);
    SetTimer(dialog, kPassTimer, DelayMs(kFirstPassDelayVariable, kFirstPassDelayMs), nullptr);
  } else if (id == kPassTimer) {
    link::WRITEINLOGSTARWND(">>>> On timer");
    KillTimer(dialog, kPassTimer);
    const int16_t result = RunSyncPass(PlaceOf(dialog), g_passPeriod);
    g_passPeriod = NextPassPeriod(g_passPeriod, result);
  }
}

DWORD WINAPI PostmanThread(LPVOID) {
  DialogBoxParamA(AdoptedPostmanSetup().instance, MAKEINTRESOURCEA(IDD_WORKER), nullptr,
                  &PostmanDialogProc, 0);
  return 0;
}

}  // namespace

INT_PTR CALLBACK PostmanDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG: OnInitDialog(dialog); return TRUE;
    case WM_TIMER: OnTimer(dialog, wParam); return TRUE;
    default: return FALSE;
  }
}

void StartBackgroundThread(LPTHREAD_START_ROUTINE routine) {
  DWORD id = 0;
  const HANDLE thread = CreateThread(nullptr, 0, routine, nullptr, 0, &id);
  if (thread == nullptr) {
    link::WRITEINLOGSTARWND("eroare initializare thread ....");
    return;
  }
  CloseHandle(thread);  // never joined: the end of the process stops it
  link::WRITEINLOGSTARWND(" thread postas initilizat....");
}

void StartPostmanThread() { StartBackgroundThread(&PostmanThread); }

}  // namespace velmora::postman
