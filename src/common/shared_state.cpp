#include "common/shared_state.h"

#include <utility>

#include "common/fixed_text.h"

namespace velmora {

void ReceivedMessage::Store(std::string text) {
  if (text.size() > kLength) text.resize(kLength);
  std::lock_guard guard(lock_);
  text_ = std::move(text);
}

std::string ReceivedMessage::Peek() const {
  std::lock_guard guard(lock_);
  return text_;
}

std::string ReceivedMessage::Take() {
  std::lock_guard guard(lock_);
  return std::exchange(text_, std::string{});
}

bool ReceivedMessage::IsBlank() const {
  std::lock_guard guard(lock_);
  return TrimmedLength(text_) == 0;
}

SharedState& Shared() {
  static SharedState state;
  return state;
}

}  // namespace velmora
