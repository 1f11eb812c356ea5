// libFuzzer target: the link's receive path. The input is cut into the
// pieces recv would hand over (each piece's size taken from the input
// itself) and accounted for by the transfer counters, as FD_READ does;
// the answer markers are read from whatever frame results. The counters
// must never let a piece land outside the receive buffer.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "link/frame_codec.h"
#include "link/transfer_counters.h"

namespace {

using namespace velmora::link;

constexpr std::size_t kCapacity = 4096;  // a small receive buffer finds overruns quickly

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  std::vector<char> buffer(kCapacity);
  TransferCounters t;
  BeginExchange(t, 10);
  t.expectingLength = true;
  t.received = 0;
  t.answerRemaining = InitialAnswerRemaining();
  std::size_t at = 0;
  while (at < size) {
    const std::size_t want = 1 + data[at++] % 64;  // the piece recv returns
    const std::int32_t room = ReceiveRoom(t, buffer.size());
    Check(room >= 0 &&
          static_cast<std::size_t>(t.received) + static_cast<std::size_t>(room) <= buffer.size());
    const std::size_t n = std::min({want, size - at, static_cast<std::size_t>(room)});
    if (n == 0) break;
    std::memcpy(buffer.data() + t.received, data + at, n);
    at += n;
    const ReceiveOutcome outcome = RecordReceived(t, buffer, static_cast<std::int32_t>(n));
    if (outcome == ReceiveOutcome::kOverrun) break;
    if (outcome == ReceiveOutcome::kComplete) {
      Check(t.answerLength >= 0 && static_cast<std::size_t>(t.answerLength) + 4 <= buffer.size());
      const std::span<const char> frame(buffer.data(), static_cast<std::size_t>(t.received));
      Check(FrameLength(frame) == t.answerField);
      (void)IsQualificationAccepted(frame);
      (void)IsAnswerMarked(frame);
      break;
    }
  }
  return 0;
}
