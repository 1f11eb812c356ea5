// What each outcome of the link leads to: the only place that asks the user,
// retries, gives up or ends the process. It runs after a wait has retrieved
// the outcome, or from the link window when the outcome arrived while
// nobody waited (a reconnect running from the thread's own message loop).

#include <winsock2.h>
#include <windows.h>

#include "link/link_api.h"
#include "link/link_state.h"
#include "link/link_wait.h"

namespace velmora::link {
namespace {

constexpr UINT kAskStyle = MB_RETRYCANCEL | MB_ICONEXCLAMATION;

class DecidingScope {
 public:
  DecidingScope() : was_(Link().deciding) { Link().deciding = true; }
  ~DecidingScope() { Link().deciding = was_; }
  DecidingScope(const DecidingScope&) = delete;
  DecidingScope& operator=(const DecidingScope&) = delete;

 private:
  bool was_;
};

// The end of the qualification's send-and-wait; its result code.
int16_t EndQualification(LinkOutcome outcome) {
  LinkState& s = Link();
  const int16_t result = FinishExchange(outcome);
  s.qualifying = false;
  StopAnimation();
  KillTimer(s.window, kTimerConnect);
  return result;
}

// The connect is over; a qualification still out ends with it.
void EndConnect(LinkOutcome outcome) {
  if (Link().qualifying) EndQualification(LinkOutcome::kAborted);
  EndOperation(outcome);
}

GiveUpChoice Ask(GiveUpChoice choice, std::string_view text, std::string_view caption) {
  if (choice != GiveUpChoice::kAsk) return choice;
  return LinkMessageBox(Link().parent, text, caption, kAskStyle) == IDRETRY ? GiveUpChoice::kRetry
                                                                            : GiveUpChoice::kCancel;
}

// The answer did not come: retry, or (the user's Cancel) end the program.
void DecideNoAnswer() {
  LinkState& s = Link();
  if (Ask(AnswerTimeoutChoice(s.modes), kTextNoAnswer, "Corvane") == GiveUpChoice::kCancel) {
    SendMessageA(s.parent, WM_COMMAND, IDCANCEL, 0);
    ON_CALL_EXIT(-218);
  }
}

// Every address failed: start the list again, or give up the connect.
void DecideGaveUp() {
  LinkState& s = Link();
  if (Ask(ConnectGiveUpChoice(s.modes), kTextConnectImpossible, "Corvane") ==
      GiveUpChoice::kCancel) {
    SendMessageA(s.parent, WM_COMMAND, IDCANCEL, 0);
    EndConnect(LinkOutcome::kGaveUp);
    return;
  }
  INITLISTAIP();
  s.addresses.refreshed = false;
  s.addresses.listLoaded = false;
  s.addresses.current = 1;
  WRITEINLOGSTARWND("WMT3 - 3");
  PostMessageA(s.window, kMsgConnect, 0, 0);
}

// The server closed before qualifying: dial again only if the user wants.
void DecideRefused() {
  LinkState& s = Link();
  const GiveUpChoice choice = s.modes.quiet ? GiveUpChoice::kCancel : GiveUpChoice::kAsk;
  if (Ask(choice, kTextServerRefused, "Vantor") == GiveUpChoice::kCancel) {
    EndConnect(LinkOutcome::kRefused);
    return;
  }
  DialConnection();
}

[[noreturn]] void DecideSelectFailed(LPARAM code) {
  LinkMessageBox(Link().window, "*** Eroare WSAAsyncSelect(). Cod eroare: " + std::to_string(code),
                 "Vantor", MB_ICONERROR);
  ON_CALL_EXIT(-203);
}

// The qualification's answer, failure or stop: the end of its send-and-wait.
// An abort (Escape, the dialog's Cancel) ends only the qualification, and the
// connect dials the same address again; a time-out or the thread's end ends
// the connect.
void DecideQualification(LinkOutcome outcome) {
  if (outcome == LinkOutcome::kTimedOut) DecideNoAnswer();
  const int16_t result = EndQualification(outcome);
  switch (outcome) {
    case LinkOutcome::kQuit:
    case LinkOutcome::kTimedOut: EndOperation(outcome); return;
    default: break;
  }
  // A new attempt at the same address also when the server closed the
  // connection right after accepting.
  if (result == 0 && !Link().reconnectDue)
    ReportOutcome(LinkOutcome::kReady);
  else
    RequestReconnect();
}

void DecideConnect(LinkOutcome outcome, LPARAM detail) {
  LinkState& s = Link();
  if (s.qualifying) {
    switch (outcome) {
      case LinkOutcome::kAnswer:
      case LinkOutcome::kOverrun:
      case LinkOutcome::kTimedOut:
      case LinkOutcome::kAborted:
      case LinkOutcome::kQuit: DecideQualification(outcome); return;
      default: break;
    }
  }
  switch (outcome) {
    case LinkOutcome::kReady:
      if (s.addresses.current > 1) WRITELISTAIPOPTIM();
      EndConnect(outcome);
      break;
    case LinkOutcome::kAborted:
    case LinkOutcome::kQuit: EndConnect(outcome); break;
    case LinkOutcome::kGaveUp: DecideGaveUp(); break;
    case LinkOutcome::kRefused: DecideRefused(); break;
    case LinkOutcome::kSelectFailed: DecideSelectFailed(detail);
    default: break;  // nothing of an exchange runs while dialling
  }
}

// Marks a time-out whose question has been answered with Retry.
constexpr LPARAM kRetryChosen = 1;

void DecideExchange(LinkOutcome outcome, LPARAM detail) {
  switch (outcome) {
    case LinkOutcome::kTimedOut:
      if (detail == kRetryChosen) {
        EndOperation(outcome);
        break;
      }
      DecideNoAnswer();
      // The retry queues up behind whatever arrived while the question was
      // open: an answer that came first is taken.
      HoldOutcome(outcome, kRetryChosen);
      break;
    case LinkOutcome::kAnswer:
    case LinkOutcome::kOverrun:
    case LinkOutcome::kAborted:
    case LinkOutcome::kQuit: EndOperation(outcome); break;
    default: break;  // nothing of a connect runs during an exchange
  }
}

}  // namespace

void DecideOutcome(LinkOutcome outcome, LPARAM detail) {
  DecidingScope deciding;
  if (Link().operation.kind == LinkOperationKind::kExchange)
    DecideExchange(outcome, detail);
  else
    DecideConnect(outcome, detail);
}

}  // namespace velmora::link
