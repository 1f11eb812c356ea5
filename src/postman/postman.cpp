#include "postman/postman.h"

#include "postman/news_thread.h"
#include "postman/postman_thread.h"

namespace velmora::postman {
namespace {
PostmanSetup g_setup;
}  // namespace

const PostmanSetup& AdoptedPostmanSetup() { return g_setup; }

void AdoptPostmanSetup(const PostmanSetup& setup) { g_setup = setup; }

void StartPostman(const PostmanSetup& setup) {
  AdoptPostmanSetup(setup);
  StartBackgroundThread(&NewsThread);
}

}  // namespace velmora::postman
