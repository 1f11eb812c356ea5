#include "listctl/list_class.h"

namespace velmora::listctl {

// Entry point for start-up; the grid itself comes with the message history.
bool RegisterListClass(HINSTANCE /*instance*/, std::string& message) {
  message.clear();
  return true;
}

}  // namespace velmora::listctl
