#include "link/link_state.h"

#include "common/fixed_text.h"
#include "common/ui_seams.h"
#include "link/link_api.h"
#include "link/link_testing.h"
#include "link/log_line.h"

namespace velmora::link {

LinkState& Link() {
  // Never destroyed: background threads may still be inside the link while
  // the process ends.
  static LinkState* const state = [] {
    auto* s = new LinkState();
    s->addresses.defaultAddress = VELMORA_DEFAULT_SERVER;
    return s;
  }();
  return *state;
}

void SetStatusText(std::string_view text) { Link().status = PadToWidth(text, 100); }

// A hidden window is repainted whole when it is shown again.
void InvalidateLink() {
  HWND window = Link().window;
  if (window != nullptr && IsWindowVisible(window)) InvalidateRect(window, nullptr, FALSE);
}

int LinkMessageBox(HWND owner, std::string_view text, std::string_view caption, UINT style) {
  return ShowMessageBox(owner, text, caption, style);
}

void LogErrorCode(std::string_view prefix, long long code) {
  WRITEINLOGSTARWND(std::string(prefix) + ErrorCodeField(code));
}

namespace testing {

void ResetLink() {
  LinkState& s = Link();
  if (s.window != nullptr && IsWindow(s.window)) INCHIDECONECTARELASERVER();
  s.window = nullptr;
  const bool registered = s.classRegistered;
  const std::string builtInAddress = s.addresses.defaultAddress;  // as set when the state was made
  s.~LinkState();
  new (&s) LinkState();
  s.classRegistered = registered;
  s.addresses.defaultAddress = builtInAddress;
}

HWND LinkWindow() { return Link().window; }
bool Qualified() { return Link().qualified; }
bool ServerClosed() { return Link().serverClosed; }
bool Quiet() { return Link().modes.quiet; }
bool Silent() { return Link().modes.silent; }
int DisabledControlCount() { return static_cast<int>(Link().disabledControls.size()); }
const TransferCounters& Counters() { return Link().transfer; }
LinkPeriods Periods() { return Link().periods; }
void SetPeriods(const LinkPeriods& periods) { Link().periods = periods; }
std::string_view CurrentAddressText() { return Link().currentAddress; }
std::string_view ClientCodeText() { return Link().clientCode; }

std::span<const char> ReceivedFrame() {
  const LinkState& s = Link();
  if (!s.receiveBuffer) return {};
  return {s.receiveBuffer.data(), static_cast<std::size_t>(std::max(s.transfer.received, 0))};
}

std::span<const char> WholeReceiveBuffer() {
  const LinkState& s = Link();
  return {s.receiveBuffer.data(), s.receiveBuffer.size()};
}

void SetZeroWholeBuffers(bool whole) { TransferBuffer::SetZeroWholeBlock(whole); }

void SetPaintState(int frame, bool qualified, std::string_view status, std::string_view address,
                   const TransferCounters& counters) {
  LinkState& s = Link();
  s.frame = frame;
  s.qualified = qualified;
  SetStatusText(status);
  s.currentAddress = PadToWidth(address, kCurrentAddressWidth);
  s.transfer = counters;
}

}  // namespace testing
}  // namespace velmora::link
