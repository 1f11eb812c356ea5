#include "postman/postman_thread.h"

namespace velmora::postman {

void StartPostmanThread() {}

}  // namespace velmora::postman
