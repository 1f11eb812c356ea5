#include "postman/postman.h"

#include "postman/postman_thread.h"

namespace velmora::postman {
namespace {
PostmanSetup g_setup;
}  // namespace

const PostmanSetup& Setup() { return g_setup; }

void StartPostman(const PostmanSetup& setup) { g_setup = setup; }

}  // namespace velmora::postman
