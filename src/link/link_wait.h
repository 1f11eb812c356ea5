#pragma once
// The one way through the link. Every use of the connection is an operation:
// a connect (dial, qualify, until the server has accepted the client) or an
// exchange (one request out, its answer in). Socket and timer handlers only
// record what happened and post an outcome for the running operation; the
// outcome is decided in one place (DecideOutcome), whether a wait retrieved
// it or the thread's own message loop dispatched it to the link window. Only
// the decision shows message boxes, retries or ends the process.
//
// Outcomes are decided in the order they were queued: a handler's outcome
// goes behind the messages already waiting, and one that arrives while a
// decision is under way (its message box pumps the thread's messages) is held
// and decided right after it, before anything the decision itself queues.

#include <windows.h>

#include <cstdint>
#include <utility>
#include <vector>

#include "link/link_constants.h"

namespace velmora::link {

// What ended (or moved on) an operation. The values are the messages that
// carry them; kQuit has none (GetMessageA retrieved WM_QUIT).
enum class LinkOutcome : unsigned {
  kQuit = 0,
  kAborted = kMsgAbort,     // Escape, Cancel, the parent dialog gone, or a stop from outside
  kTimedOut = kMsgTimeout,  // the answer watchdog saw nothing for a whole period
  kAnswer = kMsgAnswer,     // a complete answer frame is in the receive buffer
  kOverrun = kMsgOverrun,   // more bytes than announced, or a reconnect asked for during a transfer
  kReady = kMsgReady,       // the server accepted the qualification
  kGaveUp = kMsgGaveUp,     // the connect time-out found no address left
  kRefused = kMsgRefused,   // the server closed before the client was qualified
  kSelectFailed = kMsgSelectFailed,  // the socket could not be bound to the link window
};

enum class LinkOperationKind { kConnect, kExchange };

struct LinkOperation {
  std::uint32_t number = 0;  // never 0 once begun; carried in the outcomes' wParam
  LinkOperationKind kind = LinkOperationKind::kConnect;
  bool ended = true;
  LinkOutcome outcome = LinkOutcome::kAborted;  // what ended it
  // A wait is running for this operation.
  bool awaited = false;
  // Outcomes that arrived while a decision was under way, in their order.
  std::vector<std::pair<LinkOutcome, LPARAM>> held;
};

// Starts a new operation; outcomes posted for earlier ones are ignored from now on.
void BeginOperation(LinkOperationKind kind);
bool OperationRunning(LinkOperationKind kind);
void EndOperation(LinkOutcome outcome);
// Hands `outcome` of the running operation to the decision: posted to the
// link window behind whatever is already queued; a wait running for the
// operation retrieves it, else the thread's own loop delivers it.
void ReportOutcome(LinkOutcome outcome, LPARAM detail = 0);
// Queues `outcome` behind the outcomes held during the running decision.
void HoldOutcome(LinkOutcome outcome, LPARAM detail);
// The wParam that marks a posted abort as belonging to the running operation.
WPARAM CurrentOperationTag();
// Pumps the thread's messages until the running operation has ended; what ended it.
LinkOutcome WaitForOperation();
// An outcome message that reached the link window through another loop
// (nobody was waiting): it is decided all the same.
void OnOutcomeMessage(UINT message, WPARAM tag, LPARAM detail);
// The decisions: boxes, retries, exits, and when the operation ends.
void DecideOutcome(LinkOutcome outcome, LPARAM detail);

}  // namespace velmora::link
