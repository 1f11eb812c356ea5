// Exchanges on the open link: one request frame out, one answer frame in.
// SENDBUFFERTOSERVER hands the request to the socket in pieces of at most
// 1,000 bytes (the rest goes out on FD_WRITE), then pumps the thread's
// messages until the answer is complete, overruns, times out or is aborted.
// The qualification runs the same send-and-wait from inside FD_CONNECT.

#include <winsock2.h>
#include <windows.h>

#include <algorithm>
#include <cstring>

#include "common/heap_block.h"
#include "common/fixed_text.h"
#include "link/frame_codec.h"
#include "link/link_api.h"
#include "link/link_state.h"

namespace velmora::link {
namespace {

constexpr auto kLimit = static_cast<int32_t>(kTransferBufferSize);
constexpr int32_t kLongestPayload = kLimit - static_cast<int32_t>(kFrameHeaderBytes);

void RestartTimer(unsigned id, unsigned period) {
  HWND window = Link().window;
  KillTimer(window, id);
  SetTimer(window, id, period, nullptr);
}

// Hands the rest of the request to the socket, 1,000 bytes at a time.
void SendPieces(bool fromFdWrite) {
  LinkState& s = Link();
  TransferCounters& t = s.transfer;
  while (t.sendRemaining > 0) {
    KillTimer(s.window, kTimerAnswer);
    const int n = send(s.socket.get(), s.sendBuffer.data() + t.sendPosition, NextSendPiece(t), 0);
    SetTimer(s.window, kTimerAnswer, kAnswerPeriodMs, nullptr);
    if (n == SOCKET_ERROR) {
      const int code = WSAGetLastError();
      if (fromFdWrite && code != WSAEWOULDBLOCK) LogErrorCode("Eroare FD_WRITE() - Cod eroare: ", code);
      break;
    }
    RecordSent(t, n);
  }
}

struct WaitResult {
  unsigned message = 0;
  bool quit = false;
};

WaitResult WaitForAnswer() {
  MSG msg;
  for (;;) {
    const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
    if (got == 0) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      return {0, true};
    }
    if (got == -1) return {kMsgAbort, false};
    switch (msg.message) {
      case kMsgTimeout:
      case kMsgAbort:
      case kMsgAnswer:
      case kMsgOverrun: return {msg.message, false};
      default:
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
  }
}

int16_t ResultOf(const WaitResult& wait) {
  LinkState& s = Link();
  if (wait.quit) return -3;  // the thread is ending: the answer never came
  switch (wait.message) {
    case kMsgAnswer: {
      if (s.qualified) return 0;
      const std::span<const char> frame(s.receiveBuffer.data(), static_cast<std::size_t>(s.transfer.received));
      if (!IsQualificationAccepted(frame)) return -1;
      s.qualified = true;
      s.serverClosed = false;
      return 0;
    }
    case kMsgOverrun: return -2;
    case kMsgAbort: s.transfer.sendRemaining = 0; return -3;
    default: return -4;
  }
}

int LinkParentBox(std::string_view text) {
  return LinkMessageBox(GetParent(Link().window), text, "Corvane", MB_ICONERROR);
}

// Steps shared by GETRASPUNSCALIFICARE and COMUNICACUSERVER once the request is known.
int32_t Exchange(const char* payload, int32_t length, char* destination, int32_t capacity) {
  LinkState& s = Link();
  if (s.answerPending) {
    if (!s.modes.quiet) LinkParentBox("O calificare anterioara nu a primit inca raspuns!");
    return -2;
  }
  if (!s.qualified) {
    if (!s.modes.quiet) LinkParentBox("Eroare de conectare !");
    PostMessageA(s.window, kMsgConnect, 0, 0);
    return -3;
  }
  // Refused before anything is set, so that a refused request leaves no answer pending.
  if (length < 0 || length > kLongestPayload) return -5;
  s.answerPending = true;
  s.transfer.expectingLength = true;
  s.transfer.received = 0;
  s.transfer.answerRemaining = kLimit;
  if (SENDBUFFERTOSERVER(payload, length) != 0) return -1;
  if (capacity < s.transfer.answerLength) {
    s.transfer.answerLength = capacity;
    return -4;
  }
  if (s.transfer.answerLength > 0)
    std::memcpy(destination, s.receiveBuffer.data() + kFrameHeaderBytes, static_cast<std::size_t>(s.transfer.answerLength));
  s.answerPending = false;
  return s.transfer.answerLength;
}

void EndOnAllocationFailure(const char* text) {
  if (!Link().modes.quiet) LinkMessageBox(nullptr, text, "Quillon", MB_ICONERROR);
  ExitProcess(0);
}

}  // namespace

void OnFdConnect() {
  LinkState& s = Link();
  if (s.qualifying) return;
  char information[1000];
  const int16_t n = GETINFOCLIENT(information, sizeof information);
  const std::string text =
      QualificationText(s.clientCode, s.programName, std::string_view(information, static_cast<std::size_t>(n)));
  s.qualifying = true;
  s.transfer.received = 0;
  s.transfer.expectingLength = true;
  const int16_t result = SENDBUFFERTOSERVER(text.data(), static_cast<int32_t>(TrimmedLength(text)));
  s.qualifying = false;
  KillTimer(s.window, kTimerAnimation);
  KillTimer(s.window, kTimerConnect);
  PostMessageA(s.window, result == 0 ? kMsgReady : kMsgConnect, 0, 0);
}

void OnFdWrite() {
  LinkState& s = Link();
  SendPieces(true);
  if (s.transfer.sendRemaining <= 0 && !s.qualified) {
    ShowWindow(s.window, s.showCommand);
    RestartTimer(kTimerAnimation, kAnimationPeriodMs);
    SetStatusText(kStatusDownloading);
  }
}

void OnFdRead() {
  LinkState& s = Link();
  TransferCounters& t = s.transfer;
  KillTimer(s.window, kTimerAnswer);
  if (!s.receiveBuffer) return;
  const int n = recv(s.socket.get(), s.receiveBuffer.data() + t.received, ReceiveRoom(t, s.receiveBuffer.size()), 0);
  if (n == 0 || n == SOCKET_ERROR) {
    // Nothing came: the watchdog goes on watching a running exchange.
    if (s.transferBusy) SetTimer(s.window, kTimerAnswer, kAnswerPeriodMs, nullptr);
    if (t.answerRemaining == kLimit) return;
    const int code = WSAGetLastError();
    if (code == WSAEWOULDBLOCK) return;
    LogErrorCode("Eroare FD_READ() - Cod eroare: ", code);
    return;
  }
  s.receiveBuffer.MarkWritten(static_cast<std::size_t>(t.received) + static_cast<std::size_t>(n));
  switch (RecordReceived(t, std::span<const char>(s.receiveBuffer.data(), s.receiveBuffer.size()), n)) {
    case ReceiveOutcome::kComplete:
      KillTimer(s.window, kTimerAnswer);
      SetStatusText("");
      InvalidateLink();
      PostMessageA(s.window, kMsgAnswer, 0, 0);
      s.answerMarked = IsAnswerMarked(std::span<const char>(s.receiveBuffer.data(), static_cast<std::size_t>(t.received)));
      break;
    case ReceiveOutcome::kOverrun:
      KillTimer(s.window, kTimerAnswer);
      PostMessageA(s.window, kMsgOverrun, 0, 0);
      break;
    case ReceiveOutcome::kIncomplete: SetTimer(s.window, kTimerAnswer, kAnswerPeriodMs, nullptr); break;
  }
}

void OnAnswerWatchdog() {
  LinkState& s = Link();
  if (!WatchdogTimedOut(s.transfer)) return;
  KillTimer(s.window, kTimerAnswer);
  GiveUpChoice choice = AnswerTimeoutChoice(s.modes);
  if (choice == GiveUpChoice::kAsk)
    choice = LinkMessageBox(s.parent, kTextNoAnswer, "Corvane", MB_RETRYCANCEL | MB_ICONEXCLAMATION) == IDRETRY
                 ? GiveUpChoice::kRetry
                 : GiveUpChoice::kCancel;
  if (choice == GiveUpChoice::kCancel) {
    SendMessageA(s.parent, WM_COMMAND, IDCANCEL, 0);
    ON_CALL_EXIT(-218);
  }
  PostMessageA(s.window, kMsgTimeout, 0, 0);
  PostMessageA(s.window, kMsgAbort, 0, 0);
}

int16_t SENDBUFFERTOSERVER(const char* payload, int32_t length, int32_t /*unused*/) {
  LinkState& s = Link();
  if (s.window == nullptr || !s.sendBuffer || !s.receiveBuffer) return -3;
  if (s.transferBusy || length < 0 || length > kLongestPayload) return -2;
  if (!s.qualifying) {
    DropStaleLinkResults();
    // A failed exchange asked for a new connection: it comes before this request.
    if (s.reconnectPending && WaitForQualifiedLink() != 0) return -3;
  }
  ShowWindow(s.window, s.showCommand);
  s.frame = 1;
  RestartTimer(kTimerAnimation, kAnimationPeriodMs);
  DISABLECONTROLSINDIALOG();
  s.transferBusy = true;

  BeginExchange(s.transfer, length);
  s.sendBuffer.ZeroForExchange();
  s.receiveBuffer.ZeroForExchange();
  EncodeFrame(std::span<const char>(payload, static_cast<std::size_t>(length)),
              std::span<char>(s.sendBuffer.data(), s.sendBuffer.size()));
  s.sendBuffer.MarkWritten(static_cast<std::size_t>(s.transfer.sendTotal));
  SendPieces(false);

  const WaitResult wait = WaitForAnswer();
  KILL_STARWND_TIMERS();
  ShowWindow(s.window, SW_HIDE);
  RESTORECONTROLSINDIALOG();
  SetStatusText("");
  s.answerPending = false;
  const int16_t result = ResultOf(wait);
  s.transferBusy = false;
  if (result != 0) RequestReconnect();
  return result;
}

int32_t GETRASPUNSCALIFICARE(std::string_view request, char* destination, int32_t capacity) {
  LinkState& s = Link();
  s.transfer.answerLength = 0;
  if (s.window == nullptr || !IsWindow(s.window)) return -5;
  const auto n = static_cast<int64_t>(TrimmedLength(request));
  return Exchange(request.data(), n > kLongestPayload ? -1 : static_cast<int32_t>(n), destination, capacity);
}

int32_t COMUNICACUSERVER(const char* payload, int32_t length, char* destination, int32_t capacity) {
  return Exchange(payload, length, destination, capacity);
}

int32_t DOWNLOADFISIERDEPESERVER(std::string_view name, std::string_view destinationPath, int16_t type) {
  const std::string request = DownloadRequestText(name, type);
  HeapBlock answer;
  if (!answer.Allocate(kTransferBufferSize)) EndOnAllocationFailure("Eroare alocare memorie (3)");
  const int32_t n = GETRASPUNSCALIFICARE(request, answer.data(), kLimit);
  if (n < 1) return -1;
  const LinkState& s = Link();
  SAVEBUFTOFILE(s.receiveBuffer.data() + kFrameHeaderBytes, s.transfer.answerLength, destinationPath);
  return n;
}

void SAVEBUFTOFILE(const char* data, int32_t length, std::string_view path) {
  const std::string zPath(TrimTrailingBlanks(path));
  AutoHandle file(CreateFileA(zPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  if (!file) return;
  DWORD written = 0;
  WriteFile(file.get(), data, static_cast<DWORD>(std::max(length, 0)), &written, nullptr);
}

int16_t SENDFISIERTOSERVER(const char* path) {
  LinkState& s = Link();
  AutoHandle file(CreateFileA(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  if (!file) {
    if (!s.modes.quiet) LinkMessageBox(nullptr, "Eroare deschidere fisier()", "Quillon", MB_ICONERROR);
    return -1;
  }
  const DWORD size = GetFileSize(file.get(), nullptr);
  if (size == INVALID_FILE_SIZE || size < 1) return -2;
  HeapBlock buffer;
  if (!buffer.Allocate(static_cast<std::size_t>(size) + kUploadHeaderBytes))
    EndOnAllocationFailure("Eroare alocare memorie (4)");
  const std::string header = UploadHeader(s.clientCode);
  std::memcpy(buffer.data(), header.data(), kUploadHeaderBytes);
  DWORD read = 0;
  ReadFile(file.get(), buffer.data() + kUploadHeaderBytes, size, &read, nullptr);
  return SENDBUFFERTOSERVER(buffer.data(), static_cast<int32_t>(size + kUploadHeaderBytes));
}

bool IsAnswerMarked() { return Link().answerMarked; }

}  // namespace velmora::link
