#include "support/link_fixture.h"

#include <map>

#include "link/link_api.h"
#include "link/link_testing.h"
#include "support/temp_dir.h"

namespace velmora::link::testing {

std::vector<WPARAM> LinkTest::dialogCommands_;

namespace {

constexpr char kDialogClass[] = "VelmoraLinkTestDialog";

LRESULT CALLBACK TestDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(window, message, wParam, lParam);
}

std::map<UINT_PTR, std::function<void()>>& Pending() {
  static std::map<UINT_PTR, std::function<void()>> pending;
  return pending;
}

void CALLBACK RunPending(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  auto it = Pending().find(id);
  if (it == Pending().end()) return;
  auto action = std::move(it->second);
  Pending().erase(it);
  action();
}

}  // namespace

// The dialog's own procedure records the commands handed on to it.
struct DialogRecorder {
  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND) LinkTest::dialogCommands_.push_back(wParam);
    return TestDialogProc(window, message, wParam, lParam);
  }
};

void LinkTest::SetUp() {
  ResetLink();
  dialogCommands_.clear();
  instance_ = GetModuleHandleA(nullptr);
  static bool registered = false;
  if (!registered) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = DialogRecorder::Proc;
    wc.hInstance = instance_;
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = kDialogClass;
    RegisterClassA(&wc);
    registered = true;
  }
  dialog_ = CreateWindowExA(0, kDialogClass, "link test", WS_OVERLAPPEDWINDOW, 10, 10, 400, 300,
                            nullptr, nullptr, instance_, nullptr);
  char saved[MAX_PATH] = {};
  GetCurrentDirectoryA(MAX_PATH, saved);
  savedDirectory_ = saved;
  SetCurrentDirectoryA(dir_.path().string().c_str());
  SETLUNSTARWNDLOG(0);
}

void LinkTest::TearDown() {
  if (LinkWindow() != nullptr) INCHIDECONECTARELASERVER();
  if (IsWindow(dialog_)) DestroyWindow(dialog_);
  Pump(20);
  SetCurrentDirectoryA(savedDirectory_.c_str());
  SetLinkLogWriter(nullptr);
  SETLUNSTARWNDLOG(0);
}

void LinkTest::RunLater(unsigned ms, std::function<void()> action) {
  const UINT_PTR id = SetTimer(nullptr, 0, ms, RunPending);
  Pending()[id] = std::move(action);
}

void LinkTest::Pump(unsigned ms) {
  const DWORD end = GetTickCount() + ms;
  MSG msg;
  while (static_cast<int>(end - GetTickCount()) > 0) {
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    Sleep(5);
  }
}

void LinkTest::UsePeer(const LoopbackPeer& peer) {
  SETTCPPORT(peer.port());
  SETIPFIX("127.0.0.1");
}

void LinkTest::ShortenWaits(unsigned answerMs, unsigned connectMs) {
  SetPeriods({Periods().animationMs, connectMs, 200, answerMs});
}

void LinkTest::WriteList(const std::string& text) {
  velmora::testing::WriteFileBytes(dir_ / "iplist.txt", text);
}
std::string LinkTest::ReadList() { return velmora::testing::ReadFileBytes(dir_ / "iplist.txt"); }
bool LinkTest::ListExists() { return std::filesystem::exists(dir_ / "iplist.txt"); }

}  // namespace velmora::link::testing
