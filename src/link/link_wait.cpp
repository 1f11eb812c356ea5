// The link's operations and its one wait: numbering, posting outcomes, and
// the message pump that runs until the current operation has ended.

#include "link/link_wait.h"

#include <optional>

#include "link/link_state.h"

namespace velmora::link {
namespace {

// The outcome a retrieved message carries, if it is one. The five outcomes
// the link has always had are recognised whatever their target window (an
// abort may be posted to the owning dialog); the newer ones only on the link
// window, so that no other window's private message is taken for them.
std::optional<LinkOutcome> OutcomeOf(const MSG& msg) {
  switch (msg.message) {
    case kMsgAbort:
    case kMsgTimeout:
    case kMsgAnswer:
    case kMsgOverrun:
    case kMsgReady: return static_cast<LinkOutcome>(msg.message);
    case kMsgGaveUp:
    case kMsgRefused:
    case kMsgSelectFailed:
      if (msg.hwnd == Link().window) return static_cast<LinkOutcome>(msg.message);
      return std::nullopt;
    default: return std::nullopt;
  }
}

// Whether an outcome posted with `tag` belongs to the running operation.
bool IsCurrent(LinkOutcome outcome, WPARAM tag) {
  const LinkOperation& op = Link().operation;
  if (op.ended) return false;
  if (tag == 0) return outcome == LinkOutcome::kAborted;  // a stop from outside the link
  return tag == op.number;
}

}  // namespace

void BeginOperation(LinkOperationKind kind) {
  LinkOperation& op = Link().operation;
  const std::uint32_t number = op.number + 1 == 0 ? 1 : op.number + 1;
  op = LinkOperation{};
  op.number = number;
  op.kind = kind;
  op.ended = false;
}

bool OperationRunning(LinkOperationKind kind) {
  const LinkOperation& op = Link().operation;
  return !op.ended && op.kind == kind;
}

void EndOperation(LinkOutcome outcome) {
  LinkOperation& op = Link().operation;
  op.ended = true;
  op.outcome = outcome;
}

WPARAM CurrentOperationTag() { return Link().operation.number; }

void ReportOutcome(LinkOutcome outcome, LPARAM detail) {
  PostMessageA(Link().window, static_cast<UINT>(outcome), CurrentOperationTag(), detail);
}

void HoldOutcome(LinkOutcome outcome, LPARAM detail) {
  Link().operation.held.emplace_back(outcome, detail);
}

namespace {

// Decides `outcome`, then what was held meanwhile, in order, while the
// operation runs.
void DecideInTurn(LinkOutcome outcome, LPARAM detail) {
  LinkOperation& op = Link().operation;
  const std::uint32_t number = op.number;
  DecideOutcome(outcome, detail);
  while (!op.ended && op.number == number && !op.held.empty()) {
    const auto [next, nextDetail] = op.held.front();
    op.held.erase(op.held.begin());
    DecideOutcome(next, nextDetail);
  }
}

}  // namespace

LinkOutcome WaitForOperation() {
  LinkState& s = Link();
  const std::uint32_t number = s.operation.number;
  auto running = [&] { return !s.operation.ended && s.operation.number == number; };
  s.operation.awaited = true;
  MSG msg;
  while (running()) {
    const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
    if (got == 0) {
      PostQuitMessage(static_cast<int>(msg.wParam));  // the thread's own loop must see it too
      DecideInTurn(LinkOutcome::kQuit, 0);
      continue;
    }
    if (got == -1) {
      DecideInTurn(LinkOutcome::kAborted, 0);
      continue;
    }
    if (const auto outcome = OutcomeOf(msg)) {
      // Outcomes of earlier operations are dropped unseen.
      if (IsCurrent(*outcome, msg.wParam)) DecideInTurn(*outcome, msg.lParam);
      continue;
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  if (s.operation.number != number) return LinkOutcome::kAborted;
  s.operation.awaited = false;
  return s.operation.outcome;
}

void OnOutcomeMessage(UINT message, WPARAM tag, LPARAM detail) {
  const auto outcome = static_cast<LinkOutcome>(message);
  if (!IsCurrent(outcome, tag)) return;
  // A decision under way (its message box pumps messages) is not interrupted:
  // what arrived meanwhile is decided after it, in its turn.
  if (Link().deciding) {
    HoldOutcome(outcome, detail);
    return;
  }
  DecideInTurn(outcome, detail);
}

}  // namespace velmora::link
