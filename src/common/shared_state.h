#pragma once
// Values that cross threads between the main dialog, the message dialogs and
// the background postman (its news and postman threads). Each is one word or
// one buffer written by one thread and read by another; a buffer is handed
// over by copy under its small lock.

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>

namespace velmora {

// The message the server left for this client: empty (or blank) when nothing waits.
class ReceivedMessage {
 public:
  static constexpr std::size_t kLength = 1000;
  void Store(std::string text);
  std::string Peek() const;
  // Returns the text and blanks the buffer, so a message is announced once.
  std::string Take();
  bool IsBlank() const;

 private:
  mutable std::mutex lock_;
  std::string text_;
};

struct SharedState {
  std::atomic<int32_t> clientCode{0};     // 0 until a client code is known
  std::atomic<bool> newMessage{false};    // set by the news fetch, read by main-dialog timer 7
  ReceivedMessage received;               // the notice text
  std::atomic<bool> messageCheck{false};  // the postman fetches messages every 120th pass
  std::atomic<int16_t> messagePassCount{0};
  std::atomic<bool> stop{false};   // a module was started from the keyboard: stop the news fetch
  std::atomic<bool> ready{false};  // the news fetch is done
};

SharedState& Shared();

}  // namespace velmora
