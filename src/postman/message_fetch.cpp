#include "postman/message_fetch.h"

#include <string>

#include "common/heap_block.h"
#include "common/shared_state.h"
#include "common/transfer_size.h"
#include "link/link_api.h"
#include "postman/news_rules.h"
#include "postman/postman.h"

namespace velmora::postman {
void FetchMessages(HWND parent) {
  link::UPDATESTARBKCOLOR(0xFFFFFF);
  link::SETNETLIBSILENTMODE(2);
  link::SETSTARERPMODE(true);
  const HINSTANCE instance = AdoptedPostmanSetup().instance;
  if (link::INITCONECTARELASERVER(parent, instance, Shared().clientCode.load()) == 0)
    RequestMessages();
  link::INCHIDECONECTARELASERVER();
}

std::optional<std::string> AskServer(std::string_view request) {
  constexpr auto kCapacity = static_cast<int32_t>(kTransferBufferSize);
  HeapBlock buffer;
  if (!buffer.Allocate(kCapacity)) return std::nullopt;
  const int32_t length = link::GETRASPUNSCALIFICARE(request, buffer.data(), kCapacity);
  if (length < 0) return std::nullopt;
  return std::string(buffer.data(), static_cast<std::size_t>(length));
}

void RequestMessages() {
  SharedState& shared = Shared();
  shared.received.Store({});
  if (const auto answer = AskServer(MessageRequest(shared.clientCode));
      answer && answer->size() > 4)
    shared.received.Store(MessageFromAnswer(*answer));
  shared.newMessage = true;
}

}  // namespace velmora::postman
