// Exchange bookkeeping: pieces of 1,000, answers in parts, overruns, the
// watchdog, the Cancel button and the give-up decisions.

#include <gtest/gtest.h>

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "link/link_constants.h"
#include "link/transfer_counters.h"

namespace velmora::link {
namespace {

std::vector<char> BufferWithHeader(std::int32_t total, std::size_t size = 64) {
  std::vector<char> buffer(size, 0);
  buffer[0] = static_cast<char>(total & 0xFF);
  buffer[1] = static_cast<char>((total >> 8) & 0xFF);
  buffer[2] = static_cast<char>((total >> 16) & 0xFF);
  buffer[3] = static_cast<char>((total >> 24) & 0xFF);
  return buffer;
}

TEST(TransferCounters, RequestGoesOutInPiecesOfAThousand) {
  TransferCounters t;
  BeginExchange(t, 2500);
  std::vector<std::int32_t> pieces;
  while (t.sendRemaining > 0) {
    pieces.push_back(NextSendPiece(t));
    RecordSent(t, pieces.back());
  }
  EXPECT_EQ(pieces, (std::vector<std::int32_t>{1000, 1000, 504}));
  EXPECT_EQ(t.sendPosition, 2504);
  // A short send moves on by what went out only.
  BeginExchange(t, 10);
  RecordSent(t, 3);
  EXPECT_EQ(NextSendPiece(t), 11);
  EXPECT_EQ(t.sendPosition, 3);
}

TEST(TransferCounters, AnswerInManyParts) {
  TransferCounters t;
  BeginExchange(t, 5);
  const auto buffer = BufferWithHeader(20);
  const std::int32_t parts[] = {4, 5, 5, 6};
  for (std::size_t i = 0; i < 3; ++i)
    EXPECT_EQ(RecordReceived(t, buffer, parts[i]), ReceiveOutcome::kIncomplete);
  EXPECT_EQ(t.answerRemaining, 6);
  EXPECT_EQ(t.answerField, 20);
  EXPECT_EQ(t.answerLength, 16);
  EXPECT_EQ(RecordReceived(t, buffer, parts[3]), ReceiveOutcome::kComplete);
  EXPECT_EQ(t.received, 20);
}

TEST(TransferCounters, LengthFieldSplitAcrossReceives) {
  // Two bytes, then the rest of the header with the payload: 2 + 8 = 10 = total.
  TransferCounters t;
  BeginExchange(t, 5);
  const auto buffer = BufferWithHeader(10);
  EXPECT_EQ(RecordReceived(t, buffer, 2), ReceiveOutcome::kIncomplete);
  EXPECT_TRUE(t.expectingLength);
  EXPECT_EQ(RecordReceived(t, buffer, 8), ReceiveOutcome::kComplete);
  EXPECT_EQ(t.answerLength, 6);
}

TEST(TransferCounters, FirstReceiveAgainstTheAnnouncedLength) {
  const struct {
    const char* what;
    std::int32_t announced;
    std::size_t buffer;
    std::int32_t received;
    ReceiveOutcome outcome;
  } cases[] = {
      {"exactly four bytes: complete and empty", 4, 64, 4, ReceiveOutcome::kComplete},
      {"more bytes than announced", 6, 64, 9, ReceiveOutcome::kOverrun},
      {"length field 0", 0, 64, 4, ReceiveOutcome::kOverrun},
      {"length field -100", -100, 64, 4, ReceiveOutcome::kOverrun},
      {"length field INT32_MIN: no payload length is worked out from it", INT32_MIN, 64, 4,
       ReceiveOutcome::kOverrun},
      {"65 can never fit a buffer of 64", 65, 64, 8, ReceiveOutcome::kOverrun},
      {"64 fits a buffer of 64", 64, 64, 8, ReceiveOutcome::kIncomplete},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TransferCounters t;
    BeginExchange(t, 5);
    EXPECT_EQ(RecordReceived(t, BufferWithHeader(c.announced, c.buffer), c.received), c.outcome);
    if (c.outcome == ReceiveOutcome::kComplete) {
      EXPECT_EQ(t.answerLength, 0);
      EXPECT_EQ(t.answerRemaining, 0);
    }
  }
}

TEST(TransferCounters, ReceiveAsksForTheAnnouncedRestAndOnePieceMore) {
  const struct {
    bool lengthKnown;
    std::int32_t remaining, received;
    std::size_t capacity;
    std::int32_t expected;
  } cases[] = {
      {false, 10735760, 0, 10735760, 100},  // length not known yet: one piece
      {false, 10735758, 2, 10735760, 100},  // half a header is no length either
      {true, 30, 10, 10735760, 130},        // the rest, and room to see an overrun
      {true, 0, 40, 10735760, 100},
      {true, 5000, 1000, 1050, 50},  // never beyond the free room
      {false, 10735760, 64, 64, 0},
  };
  for (const auto& c : cases) {
    TransferCounters t;
    t.expectingLength = !c.lengthKnown;
    t.answerRemaining = c.remaining;
    t.received = c.received;
    EXPECT_EQ(ReceiveRequest(t, c.capacity, 100), c.expected) << c.remaining << " " << c.capacity;
  }
}

TEST(TransferCounters, WatchdogTicks) {
  const struct Step {
    std::int32_t sentBefore;  // request bytes handed to send before this tick
    std::uint32_t idleMs;     // since the last byte moved
    std::optional<std::uint32_t> next;
  } longRequest[] =
      {
          {1000, 1200, 3800},  // a byte moved 1.2 s ago: the period runs from it
          {0, 5000, 5000},     // a whole period, but more went out since the last tick: one more
          {0, 10000, std::nullopt}  // nothing more: timed out
      },
    allOutAtOnce[] = {
        {14, 5000, 5000},  // all out since the start counts as progress once
        {0, 10000, std::nullopt},
    };
  const auto run = [](std::int32_t payload, std::span<const Step> steps) {
    TransferCounters t;
    BeginExchange(t, payload);
    for (const Step& step : steps) {
      RecordSent(t, step.sentBefore);
      EXPECT_EQ(WatchdogTick(t, step.idleMs, 5000), step.next) << step.idleMs;
    }
  };
  run(2000, longRequest);
  run(10, allOutAtOnce);
}

TEST(TransferCounters, CancelDuringSendingAbortsAndSwallows) {
  TransferCounters t;
  // A plain send (or the qualification) leaves the answer count as the last
  // exchange left it: once its request is out, Cancel goes to the dialog.
  BeginExchange(t, 10);
  EXPECT_EQ(DecideCancel(t, true), CancelAction::kAbortOnly);
  EXPECT_EQ(DecideCancel(t, true), CancelAction::kPassOn);
  // A request routine's exchange awaits its answer from the start.
  BeginExchange(t, 3000);
  t.answerRemaining = InitialAnswerRemaining();
  EXPECT_EQ(DecideCancel(t, true), CancelAction::kAbortOnly);
  EXPECT_EQ(t.sendRemaining, 0);
  // Now the answer is awaited.
  EXPECT_EQ(DecideCancel(t, true), CancelAction::kAbortOnly);
  EXPECT_EQ(t.answerRemaining, 0);
  EXPECT_EQ(DecideCancel(t, true), CancelAction::kPassOn);
  EXPECT_EQ(DecideCancel(t, false), CancelAction::kAbortAndPassOn);
}

TEST(LinkModes, SilentIsNeverSwitchedOff) {
  LinkModes m;
  m.Set(1);
  EXPECT_TRUE(m.quiet);
  EXPECT_FALSE(m.silent);
  m.Set(2);
  EXPECT_TRUE(m.quiet);
  EXPECT_TRUE(m.silent);
  m.Set(0);
  EXPECT_FALSE(m.quiet);
  EXPECT_TRUE(m.silent);
  m.Set(7);
  m.Set(-1);
  EXPECT_FALSE(m.quiet);
  EXPECT_TRUE(m.silent);
}

TEST(LinkModes, GiveUpDecisions) {
  const struct {
    bool quiet, silent;
    GiveUpChoice connect, answer;
  } cases[] = {
      {false, false, GiveUpChoice::kAsk, GiveUpChoice::kAsk},
      {true, false, GiveUpChoice::kRetry, GiveUpChoice::kRetry},
      {true, true, GiveUpChoice::kCancel, GiveUpChoice::kRetry},
      // Silent on, quiet off again (modes 2 then 0): silent decides first.
      {false, true, GiveUpChoice::kCancel, GiveUpChoice::kRetry},
  };
  for (const auto& c : cases) {
    LinkModes m;
    m.quiet = c.quiet;
    m.silent = c.silent;
    EXPECT_EQ(ConnectGiveUpChoice(m), c.connect) << c.quiet << c.silent;
    // An answer time-out never ends the process, silent or not.
    EXPECT_EQ(AnswerTimeoutChoice(m), c.answer) << c.quiet << c.silent;
  }
}

}  // namespace
}  // namespace velmora::link
