// The news thread runs once per start: its hidden dialog (template 122, no
// owner) fetches the news 50 ms after it opens, while a second timer watches
// the stop flag the main dialog sets when the user starts a module from the
// keyboard. When the dialog ends with 1 the thread writes the news into the
// strip (a cross-thread SetDlgItemTextW), then, whatever the result, it
// starts the postman thread and ends. The news fields and the cache belong
// to this thread alone.

#include "postman/news_thread.h"

#include <string>

#include "common/fixed_text.h"
#include "common/shared_state.h"
#include "common/wide_text.h"
#include "link/link_api.h"
#include "link/link_constants.h"
#include "postman/news_fetch.h"
#include "postman/postman.h"
#include "postman/postman_thread.h"
#include "resource_ids.h"

namespace velmora::postman {
namespace {

constexpr UINT_PTR kFetchTimer = 1;
constexpr UINT_PTR kStopTimer = 2;
constexpr DWORD kStartPauseMs = 10;

// Set once the dialog has been ended, so that a fetch cut short by the stop
// does not overwrite the stop's result.
bool g_ended = false;
// While the fetch runs, the link may be waiting inside it.
bool g_fetching = false;

void EndOnce(HWND dialog, INT_PTR result) {
  if (g_ended) return;
  g_ended = true;
  EndDialog(dialog, result);
}

BOOL OnInitDialog(HWND dialog) {
  g_ended = false;
  ShowWindow(dialog, SW_HIDE);
  link::SETNETLIBSILENTMODE(2);
  link::SETSTARERPMODE(true);
  SetTimer(dialog, kFetchTimer, 50, nullptr);
  SetTimer(dialog, kStopTimer, 500, nullptr);
  return TRUE;
}

void OnFetchTimer(HWND dialog) {
  ShowWindow(dialog, SW_HIDE);
  KillTimer(dialog, kFetchTimer);
  g_fetching = true;
  const int16_t result = FetchNews(dialog);
  g_fetching = false;
  EndOnce(dialog, result == 1 ? 2 : 1);
}

void OnStopCheck(HWND dialog) {
  if (!Shared().stop) return;
  KillTimer(dialog, kStopTimer);
  // A link is open only inside the fetch, which then waits in it. Closing
  // the link under that wait would take away the timers that end it, and
  // the fetch's own close would clean up winsock a second time; so the wait
  // is told to give up, and the fetch closes the link on its way out.
  if (g_fetching) PostMessageA(dialog, link::kMsgAbort, 0, 0);
  EndOnce(dialog, 2);
}

void SetText(HWND strip, int control, std::string_view field) {
  SetDlgItemText1250(strip, control, TrimTrailingBlanks(field));
}

}  // namespace

INT_PTR CALLBACK NewsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG: return OnInitDialog(dialog);
    case WM_TIMER:
      if (wParam == kFetchTimer) OnFetchTimer(dialog);
      if (wParam == kStopTimer) OnStopCheck(dialog);
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDC_WORKER_STOP) OnStopCheck(dialog);
      return TRUE;
  }
  return FALSE;
}

void FillNewsStrip(HWND strip) {
  const NewsFields& news = News();
  SetText(strip, IDC_NEWS_DATE, news.date);
  SetText(strip, IDC_NEWS_EUR, news.euro);
  SetText(strip, IDC_NEWS_USD, news.usd);
  SetText(strip, IDC_NEWS_WEATHER, news.weather);
  SetText(strip, IDC_NEWS_TEXT, news.text);
}

DWORD WINAPI NewsThread(void*) {
  // The pause before the news work is the thread's own, so that the main
  // dialog does not wait for it before it shows.
  Sleep(kStartPauseMs);
  const INT_PTR result = DialogBoxParamA(AdoptedPostmanSetup().instance,
                                         MAKEINTRESOURCEA(IDD_WORKER), nullptr, &NewsDialogProc, 0);
  if (result == 1) FillNewsStrip(AdoptedPostmanSetup().newsStrip);
  StartPostmanThread();
  return 0;
}

}  // namespace velmora::postman
