// The reference for the launcher's start-up: a minimal dialog program that,
// like the launcher, first runs the suite's synchronisation program beside it
// and waits for it, then shows one modal dialog. Closed by Cancel (Escape).
// Built twice: bare, and with the duties every program doing the launcher's
// job must take on (minimal_duties.h).

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "minimal_duties.h"

namespace {

void RunSynchronisation() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string program(path);
  program.replace(program.rfind('\\') + 1, std::string::npos, "trovel.exe");
  std::string commandLine = program;
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      nullptr, &startup, &process))
    return;
  WaitForSingleObject(process.hProcess, INFINITE);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
}

// A 300 x 200 dialog with one Cancel button, built in memory.
std::vector<WORD> DialogTemplate() {
  std::vector<WORD> t(256, 0);
  auto* header = reinterpret_cast<DLGTEMPLATE*>(t.data());
  header->style = DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE;
  header->cdit = 1;
  header->cx = 300;
  header->cy = 200;
  WORD* p = reinterpret_cast<WORD*>(header + 1);
  *p++ = 0;  // no menu
  *p++ = 0;  // default class
  for (const char* c = "Minimal dialog"; *c != 0; ++c) *p++ = static_cast<WORD>(*c);
  *p++ = 0;
  p = reinterpret_cast<WORD*>((reinterpret_cast<ULONG_PTR>(p) + 3) & ~ULONG_PTR{3});
  auto* item = reinterpret_cast<DLGITEMTEMPLATE*>(p);
  item->style = WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON;
  item->x = 240;
  item->y = 180;
  item->cx = 50;
  item->cy = 14;
  item->id = IDCANCEL;
  p = reinterpret_cast<WORD*>(item + 1);
  *p++ = 0xFFFF;
  *p++ = 0x0080;  // button
  for (const char* c = "Cancel"; *c != 0; ++c) *p++ = static_cast<WORD>(*c);
  *p++ = 0;
  *p++ = 0;  // no creation data
  return t;
}

INT_PTR CALLBACK Procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  if (message == WM_INITDIALOG) {
    StartBackgroundDuties();
    return TRUE;
  }
  if (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL) {
    EndDialog(dialog, 0);
    return TRUE;
  }
  return FALSE;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  TakeStartDuties(instance);
  RunSynchronisation();
  const std::vector<WORD> dialog = DialogTemplate();
  DialogBoxIndirectParamA(instance, reinterpret_cast<const DLGTEMPLATE*>(dialog.data()), nullptr,
                          Procedure, 0);
  return 0;
}
