#include "postman/message_fetch.h"

#include <string>

#include "common/heap_block.h"
#include "link/link_api.h"
#include "link/link_constants.h"
#include "postman/news_rules.h"
#include "postman/postman.h"
#include "postman/shared_state.h"

namespace velmora::postman {
namespace {
// Answers are as large as the link's receive buffer.
constexpr auto kAnswerCapacity = static_cast<int32_t>(link::kTransferBufferSize);
}  // namespace

void FetchMessages(HWND parent) {
  link::UPDATESTARBKCOLOR(0xFFFFFF);
  link::SETNETLIBSILENTMODE(2);
  link::SETSTARERPMODE(true);
  if (link::INITCONECTARELASERVER(parent, Setup().instance, Shared().clientCode.load()) == 0) RequestMessages();
  link::INCHIDECONECTARELASERVER();
}

void RequestMessages() {
  SharedState& shared = Shared();
  shared.received.Store(std::string(ReceivedMessage::kLength, ' '));
  HeapBlock buffer;
  if (buffer.Allocate(kAnswerCapacity)) {
    const int32_t length =
        link::GETRASPUNSCALIFICARE(MessageRequest(shared.clientCode), buffer.data(), kAnswerCapacity);
    if (length > 4) shared.received.Store(MessageFromAnswer(std::string_view(buffer.data(), length)));
  }
  shared.newMessage = true;
}

}  // namespace velmora::postman
