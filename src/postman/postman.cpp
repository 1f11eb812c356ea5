#include "postman/postman.h"

namespace velmora::postman {

// Entry point for the main dialog; the news and postman threads come with the postman.
void StartPostman() {}

}  // namespace velmora::postman
