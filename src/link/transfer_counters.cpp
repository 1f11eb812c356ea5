#include "link/transfer_counters.h"

#include <algorithm>

#include "common/fixed_text.h"
#include "link/link_constants.h"

namespace velmora::link {

std::int32_t InitialAnswerRemaining() { return static_cast<std::int32_t>(kTransferBufferSize); }

void BeginExchange(TransferCounters& t, std::int32_t payloadLength) {
  t.sendTotal = payloadLength + static_cast<std::int32_t>(kFrameHeaderBytes);
  t.sendRemaining = t.sendTotal;
  t.watchdogMark = t.sendTotal;
  t.sendPosition = 0;
  t.received = 0;
  t.expectingLength = true;
  t.answerField = 0;
  t.answerLength = 0;
}

std::int32_t NextSendPiece(const TransferCounters& t) {
  return std::min(t.sendRemaining, kSendPiece);
}

void RecordSent(TransferCounters& t, std::int32_t sent) {
  t.sendRemaining -= sent;
  t.sendPosition += sent;
}

std::int32_t ReceiveRoom(const TransferCounters& t, std::size_t capacity) {
  const auto room = static_cast<std::int64_t>(capacity) - t.received;
  return room > 0 ? static_cast<std::int32_t>(room) : 0;
}

std::int32_t ReceiveRequest(const TransferCounters& t, std::size_t capacity, std::int32_t piece) {
  const std::int64_t wanted =
      t.expectingLength ? piece : static_cast<std::int64_t>(std::max(t.answerRemaining, 0)) + piece;
  return static_cast<std::int32_t>(std::min<std::int64_t>(wanted, ReceiveRoom(t, capacity)));
}

ReceiveOutcome RecordReceived(TransferCounters& t, std::span<const char> receiveBuffer,
                              std::int32_t n) {
  t.received += n;
  if (t.expectingLength) {
    if (t.received < static_cast<std::int32_t>(kFrameHeaderBytes)) {
      t.answerRemaining = InitialAnswerRemaining() - t.received;
      return ReceiveOutcome::kIncomplete;
    }
    t.expectingLength = false;
    t.answerField = ReadInt32(receiveBuffer, 0);
    // A total below its own four bytes, or beyond the buffer, can never be completed.
    if (t.answerField < static_cast<std::int32_t>(kFrameHeaderBytes) ||
        t.answerField > static_cast<std::int32_t>(receiveBuffer.size())) {
      t.answerLength = 0;
      t.answerRemaining = -1;
      return ReceiveOutcome::kOverrun;
    }
    t.answerLength = t.answerField - static_cast<std::int32_t>(kFrameHeaderBytes);
  }
  t.answerRemaining = t.answerField - t.received;
  if (t.answerRemaining == 0) return ReceiveOutcome::kComplete;
  if (t.answerRemaining < 0) return ReceiveOutcome::kOverrun;
  return ReceiveOutcome::kIncomplete;
}

std::optional<std::uint32_t> WatchdogTick(TransferCounters& t, std::uint32_t idleMs,
                                          std::uint32_t periodMs) {
  if (idleMs < periodMs) return periodMs - idleMs;
  if (t.sendRemaining < t.watchdogMark) {
    t.watchdogMark = t.sendRemaining;
    return periodMs;
  }
  return std::nullopt;
}

CancelAction DecideCancel(TransferCounters& t, bool qualified) {
  if (t.sendRemaining > 0) {
    t.sendRemaining = 0;
    return CancelAction::kAbortOnly;
  }
  if (t.answerRemaining > 0) {
    t.answerRemaining = 0;
    return CancelAction::kAbortOnly;
  }
  return qualified ? CancelAction::kPassOn : CancelAction::kAbortAndPassOn;
}

void LinkModes::Set(std::int16_t mode) {
  switch (mode) {
    case 0: quiet = false; break;
    case 1: quiet = true; break;
    case 2:
      quiet = true;
      silent = true;
      break;
    default: break;
  }
}

GiveUpChoice ConnectGiveUpChoice(const LinkModes& modes) {
  if (modes.silent) return GiveUpChoice::kCancel;
  if (modes.quiet) return GiveUpChoice::kRetry;
  return GiveUpChoice::kAsk;
}

GiveUpChoice AnswerTimeoutChoice(const LinkModes& modes) {
  if (modes.silent || modes.quiet) return GiveUpChoice::kRetry;
  return GiveUpChoice::kAsk;
}

}  // namespace velmora::link
