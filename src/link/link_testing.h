#pragma once
// Read-only views of the link's state and a reset, for the link's tests and
// benchmarks. The program itself never uses these.

#include <windows.h>

#include <span>

#include "link/link_constants.h"
#include "link/transfer_counters.h"

namespace velmora::link::testing {

// Puts the link back as at process start (closing any link window first).
void ResetLink();
HWND LinkWindow();
bool Qualified();
bool ServerClosed();
bool Quiet();
bool Silent();
int DisabledControlCount();
const TransferCounters& Counters();
// The periods of the link's timers; ResetLink gives the program's own.
LinkPeriods Periods();
void SetPeriods(const LinkPeriods& periods);
std::string_view CurrentAddressText();
std::string_view ClientCodeText();
// The last answer frame as it stands in the receive buffer (header included).
std::span<const char> ReceivedFrame();
std::span<const char> WholeReceiveBuffer();
// Benchmarks: clear the whole transfer buffers at every exchange instead of
// only the bytes the previous exchange wrote.
void SetZeroWholeBuffers(bool whole);
// Sets the drawing state directly, for painting tests.
void SetPaintState(int frame, bool qualified, std::string_view status, std::string_view address,
                   const TransferCounters& counters);

}  // namespace velmora::link::testing
