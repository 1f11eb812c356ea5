// Exchanges on the open link: one request frame out, one answer frame in.
// SENDBUFFERTOSERVER hands the request to the socket in pieces of at most
// 1,000 bytes (the rest goes out on FD_WRITE), then waits (link_wait.cpp)
// until the answer is complete, overruns, times out or is aborted. The
// qualification starts the same exchange from FD_CONNECT and leaves its end
// to the connect's decisions (link_decide.cpp); no handler here waits.

#include <winsock2.h>
#include <windows.h>

#include <algorithm>
#include <cstring>

#include "common/fixed_text.h"
#include "common/heap_block.h"
#include "link/frame_codec.h"
#include "link/link_api.h"
#include "link/link_state.h"

namespace velmora::link {
namespace {

constexpr auto kLimit = static_cast<int32_t>(kTransferBufferSize);
constexpr int32_t kLongestPayload = kLimit - static_cast<int32_t>(kFrameHeaderBytes);

// Beyond what an answer announces, the socket is asked for this much more.
constexpr int32_t kReceivePiece = 64 * 1024;

// Hands the rest of the request to the socket, 1,000 bytes at a time. Every
// send call starts the watchdog's period afresh.
void SendPieces(bool fromFdWrite) {
  LinkState& s = Link();
  TransferCounters& t = s.transfer;
  while (t.sendRemaining > 0) {
    const int n = send(s.socket.get(), s.sendBuffer.data() + t.sendPosition, NextSendPiece(t), 0);
    s.lastProgress = GetTickCount();
    if (n == SOCKET_ERROR) {
      const int code = WSAGetLastError();
      if (fromFdWrite && code != WSAEWOULDBLOCK)
        LogErrorCode("Eroare FD_WRITE() - Cod eroare: ", code);
      break;
    }
    RecordSent(t, n);
  }
}

// The request goes out; the answer is awaited by the caller's wait. The
// window, the parent's disabled controls and the answer watchdog come only
// with the first animation frame, so that an exchange shorter than a frame
// costs none of them (it would not be seen anyway).
void StartExchange(const char* payload, int32_t length) {
  LinkState& s = Link();
  s.frame = 1;
  s.exchangeShown = false;
  s.ticksBeforeShowing = s.animationLingers ? 1 : 0;
  if (!s.animationLingers) SetTimer(s.window, kTimerAnimation, s.periods.animationMs, nullptr);
  s.animationLingers = false;
  s.transferBusy = true;

  BeginExchange(s.transfer, length);
  s.sendBuffer.ZeroForExchange();
  s.receiveBuffer.ZeroForExchange();
  EncodeFrame(std::span<const char>(payload, static_cast<std::size_t>(length)),
              std::span<char>(s.sendBuffer.data(), s.sendBuffer.size()));
  s.sendBuffer.MarkWritten(static_cast<std::size_t>(s.transfer.sendTotal));
  s.lastProgress = GetTickCount();
  SendPieces(false);
}

// The answer that ended an exchange: accepted, or for the qualification,
// accepted only when it begins with "OK".
int16_t AnswerResult() {
  LinkState& s = Link();
  if (s.qualified) return 0;
  const std::span<const char> frame(s.receiveBuffer.data(),
                                    static_cast<std::size_t>(s.transfer.received));
  if (!IsQualificationAccepted(frame)) return -1;
  s.qualified = true;
  s.serverClosed = false;
  return 0;
}

void ArmWatchdog(DWORD period) { SetTimer(Link().window, kTimerAnswer, period, nullptr); }

// Nothing came: normal while no answer is due or nothing is waiting.
void LogReceiveError() {
  if (Link().transfer.answerRemaining == kLimit) return;
  const int code = WSAGetLastError();
  if (code == WSAEWOULDBLOCK) return;
  LogErrorCode("Eroare FD_READ() - Cod eroare: ", code);
}

// Accounts for `n` bytes just received; a complete answer or an overrun is
// reported to the wait.
ReceiveOutcome TakeReceived(int n) {
  LinkState& s = Link();
  TransferCounters& t = s.transfer;
  s.lastProgress = GetTickCount();
  s.receiveBuffer.MarkWritten(static_cast<std::size_t>(t.received) + static_cast<std::size_t>(n));
  const ReceiveOutcome outcome =
      RecordReceived(t, std::span<const char>(s.receiveBuffer.data(), s.receiveBuffer.size()), n);
  switch (outcome) {
    case ReceiveOutcome::kComplete:
      if (s.exchangeShown) KillTimer(s.window, kTimerAnswer);
      SetStatusText("");
      InvalidateLink();
      ReportOutcome(LinkOutcome::kAnswer);
      s.answerMarked = IsAnswerMarked(
          std::span<const char>(s.receiveBuffer.data(), static_cast<std::size_t>(t.received)));
      break;
    case ReceiveOutcome::kOverrun:
      if (s.exchangeShown) KillTimer(s.window, kTimerAnswer);
      ReportOutcome(LinkOutcome::kOverrun);
      break;
    case ReceiveOutcome::kIncomplete: break;
  }
  return outcome;
}

int16_t SendAndWait(const char* payload, int32_t length, bool request);

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
    RequestReconnect();
    return -3;
  }
  // Refused before anything is set, so that a refused request leaves no answer pending.
  if (length < 0 || length > kLongestPayload) return -5;
  s.answerPending = true;
  const int16_t sent = SendAndWait(payload, length, true);
  // Whatever ended it (also a reconnect that failed before the request went
  // out), no answer is awaited any more.
  s.answerPending = false;
  if (sent != 0) return -1;
  if (capacity < s.transfer.answerLength) {
    s.transfer.answerLength = capacity;
    return -4;
  }
  if (s.transfer.answerLength > 0)
    std::memcpy(destination, s.receiveBuffer.data() + kFrameHeaderBytes,
                static_cast<std::size_t>(s.transfer.answerLength));
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
  const std::string text = QualificationText(
      s.clientCode, s.programName, std::string_view(information, static_cast<std::size_t>(n)));
  s.qualifying = true;
  s.transfer.received = 0;
  s.transfer.expectingLength = true;
  // The answer is decided with the connect's other outcomes.
  StartExchange(text.data(), static_cast<int32_t>(TrimmedLength(text)));
}

void OnFdWrite() {
  LinkState& s = Link();
  SendPieces(true);
  if (s.transfer.sendRemaining <= 0 && !s.qualified) {
    ShowWindow(s.window, s.showCommand);
    SetTimer(s.window, kTimerAnimation, s.periods.animationMs, nullptr);
    SetStatusText(kStatusDownloading);
  }
}

void OnFdRead() {
  LinkState& s = Link();
  if (!s.receiveBuffer) return;
  // A notification takes all that is waiting: a piece that fills its room
  // means more is there.
  for (;;) {
    const int room = ReceiveRequest(s.transfer, s.receiveBuffer.size(), kReceivePiece);
    const int n = recv(s.socket.get(), s.receiveBuffer.data() + s.transfer.received, room, 0);
    if (n == 0 || n == SOCKET_ERROR) {
      LogReceiveError();
      return;
    }
    if (TakeReceived(n) != ReceiveOutcome::kIncomplete || n < room) return;
  }
}

void StopAnimation() {
  LinkState& s = Link();
  KillTimer(s.window, kTimerAnimation);
  s.animationLingers = false;
}

void OnAnimationTick() {
  LinkState& s = Link();
  if (s.animationLingers && !s.transferBusy) {
    StopAnimation();
    return;
  }
  s.frame = (s.frame % 8) + 1;
  InvalidateLink();
  if (!s.transferBusy || s.exchangeShown) return;
  if (s.ticksBeforeShowing > 0) {
    --s.ticksBeforeShowing;
    return;
  }
  s.exchangeShown = true;
  ShowWindow(s.window, s.showCommand);
  DISABLECONTROLSINDIALOG();
  const DWORD idle = GetTickCount() - s.lastProgress;
  ArmWatchdog(idle < s.periods.answerMs ? s.periods.answerMs - idle : 1);
}

// Timer 7, armed once per exchange and moved on to a period after the last
// byte that moved, instead of being restarted at every send and receive.
void OnAnswerWatchdog() {
  LinkState& s = Link();
  if (!s.transferBusy) {
    KillTimer(s.window, kTimerAnswer);
    return;
  }
  if (const auto next =
          WatchdogTick(s.transfer, GetTickCount() - s.lastProgress, s.periods.answerMs)) {
    ArmWatchdog(*next);
    return;
  }
  KillTimer(s.window, kTimerAnswer);
  ReportOutcome(LinkOutcome::kTimedOut);  // retry or give up: decided outside this handler
}

int16_t FinishExchange(LinkOutcome outcome) {
  LinkState& s = Link();
  // The ring stops with the qualification; after an exchange, the next one
  // may take the timer over.
  if (s.qualifying) {
    StopAnimation();
    KillTimer(s.window, kTimerConnect);
  } else {
    s.animationLingers = true;
  }
  if (s.exchangeShown) KillTimer(s.window, kTimerAnswer);
  // Its own style, not IsWindowVisible: inside a hidden dialog the window
  // may be shown without being visible.
  if ((GetWindowLongA(s.window, GWL_STYLE) & WS_VISIBLE) != 0) ShowWindow(s.window, SW_HIDE);
  if (s.exchangeShown || !s.disabledControls.empty()) RESTORECONTROLSINDIALOG();
  SetStatusText("");
  s.answerPending = false;
  int16_t result = -3;  // aborted, or the thread is ending: the answer never came
  switch (outcome) {
    case LinkOutcome::kAnswer: result = AnswerResult(); break;
    case LinkOutcome::kOverrun: result = -2; break;
    case LinkOutcome::kTimedOut: result = -4; break;
    case LinkOutcome::kAborted: s.transfer.sendRemaining = 0; break;
    default: break;
  }
  s.transferBusy = false;
  s.exchangeShown = false;
  return result;
}

namespace {

// The send-and-wait. `request`: a request routine's exchange, whose answer
// is awaited from the start (the answer remaining says so to the dialog's
// Cancel button).
int16_t SendAndWait(const char* payload, int32_t length, bool request) {
  LinkState& s = Link();
  if (s.window == nullptr || !s.sendBuffer || !s.receiveBuffer) return -3;
  if (s.transferBusy || length < 0 || length > kLongestPayload) return -2;
  // A failed exchange asked for a new connection: it comes before this
  // request. Stopped, it leaves the link unqualified: the connection it was
  // to replace is not used again.
  if (OperationRunning(LinkOperationKind::kConnect) && WaitForOperation() != LinkOutcome::kReady) {
    s.qualified = false;
    return -3;
  }
  if (request) s.transfer.answerRemaining = kLimit;
  BeginOperation(LinkOperationKind::kExchange);
  StartExchange(payload, length);
  const int16_t result = FinishExchange(WaitForOperation());
  if (result != 0 || s.reconnectDue) RequestReconnect();
  return result;
}

}  // namespace

int16_t SENDBUFFERTOSERVER(const char* payload, int32_t length, int32_t /*unused*/) {
  return SendAndWait(payload, length, false);
}

int32_t GETRASPUNSCALIFICARE(std::string_view request, char* destination, int32_t capacity) {
  LinkState& s = Link();
  s.transfer.answerLength = 0;
  if (s.window == nullptr || !IsWindow(s.window)) return -5;
  const auto n = static_cast<int64_t>(TrimmedLength(request));
  return Exchange(request.data(), n > kLongestPayload ? -1 : static_cast<int32_t>(n), destination,
                  capacity);
}

int32_t COMUNICACUSERVER(const char* payload, int32_t length, char* destination, int32_t capacity) {
  return Exchange(payload, length, destination, capacity);
}

int32_t DOWNLOADFISIERDEPESERVER(std::string_view name, std::string_view destinationPath,
                                 int16_t type) {
  const std::string request = DownloadRequestText(name, type);
  HeapBlock answer;
  if (!answer.Allocate(kTransferBufferSize)) EndOnAllocationFailure("Eroare alocare memorie (3)");
  const int32_t n = GETRASPUNSCALIFICARE(request, answer.data(), kLimit);
  if (n < 1) return -1;
  const LinkState& s = Link();
  SAVEBUFTOFILE(s.receiveBuffer.data() + kFrameHeaderBytes, s.transfer.answerLength,
                destinationPath);
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
    if (!s.modes.quiet)
      LinkMessageBox(nullptr, "Eroare deschidere fisier()", "Quillon", MB_ICONERROR);
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
