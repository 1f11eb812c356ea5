#include "postman/message_fetch.h"

namespace velmora::postman {

void FetchMessages(HWND) {}

}  // namespace velmora::postman
