#pragma once
// The counters of one request/answer exchange and the decisions taken on
// them: how much of the request is still to go out, how much of the answer
// is still expected, when the watchdog gives up, what the dialog's Cancel
// button does. Kept apart from the socket calls so they can be tested alone.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace velmora::link {

struct TransferCounters {
  std::int32_t sendTotal = 0;        // payload length + 4
  std::int32_t sendRemaining = 0;    // frame bytes not yet handed to send
  std::int32_t sendPosition = 0;     // offset of the next byte to hand to send
  std::int32_t watchdogMark = 0;     // sendRemaining at the last watchdog tick
  std::int32_t received = 0;         // answer bytes received so far
  bool expectingLength = true;       // the answer's length field is not yet complete
  std::int32_t answerRemaining = 0;  // answer bytes still expected
  std::int32_t answerField = 0;      // the answer's length field (total, with its 4 bytes)
  std::int32_t answerLength = 0;     // answerField - 4: the payload length
};

// The value that answerRemaining holds while nothing of an answer is known.
std::int32_t InitialAnswerRemaining();

// Starts an exchange for a payload of `payloadLength` bytes. The answer
// remaining is left as it is: only the request routines set it to
// InitialAnswerRemaining(), so that during a plain send or the qualification
// the dialog's Cancel button reaches the dialog (DecideCancel).
void BeginExchange(TransferCounters& t, std::int32_t payloadLength);

// Bytes for the next send call (at most 1,000), and the bookkeeping after it.
std::int32_t NextSendPiece(const TransferCounters& t);
void RecordSent(TransferCounters& t, std::int32_t sent);

// Free room in a receive buffer of `capacity` bytes.
std::int32_t ReceiveRoom(const TransferCounters& t, std::size_t capacity);

// How many bytes to ask the socket for next: one `piece` while the answer's
// length is not known, then what it still announces plus one piece (so that
// bytes beyond it are seen, as an overrun); never more than the free room.
// Asking for the whole buffer for every answer would make some socket
// layers touch all of its pages, however short the answer.
std::int32_t ReceiveRequest(const TransferCounters& t, std::size_t capacity, std::int32_t piece);

enum class ReceiveOutcome { kIncomplete, kComplete, kOverrun };

// Accounts for `n` (> 0) bytes just stored at receive-buffer offset
// `received`. The remaining count is always the announced total less all the
// bytes received, also when the length field itself came in pieces. An
// announced total larger than the buffer can never be completed and counts as
// an overrun.
ReceiveOutcome RecordReceived(TransferCounters& t, std::span<const char> receiveBuffer,
                              std::int32_t n);

// One tick of the answer watchdog, `idleMs` after the last byte moved (a
// send call or a part of the answer). The delay until the next tick, or
// nullopt when the exchange has timed out: a whole period without a byte,
// unless more of the request went out since the previous tick (then it has
// one more period).
std::optional<std::uint32_t> WatchdogTick(TransferCounters& t, std::uint32_t idleMs,
                                          std::uint32_t periodMs);

// What the owning dialog's Cancel button does during a link wait.
enum class CancelAction {
  kAbortOnly,       // zero the pending count, post the abort, swallow the command
  kPassOn,          // hand the command to the dialog's own procedure
  kAbortAndPassOn,  // post the abort and hand the command on
};
CancelAction DecideCancel(TransferCounters& t, bool qualified);

// The quiet and silent modes. Silent, once on, stays on for the process.
struct LinkModes {
  bool quiet = false;
  bool silent = false;
  void Set(std::int16_t mode);
};

enum class GiveUpChoice { kAsk, kRetry, kCancel };
// All addresses failed: silent gives up, quiet starts again, else the user chooses.
GiveUpChoice ConnectGiveUpChoice(const LinkModes& modes);
// The answer did not come. Silent and quiet both end the exchange and reopen
// the connection; only without either is the user asked. Silent never ends
// the process: the background threads run silent for the whole run.
GiveUpChoice AnswerTimeoutChoice(const LinkModes& modes);

}  // namespace velmora::link
