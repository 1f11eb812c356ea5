#include "postman/postman.h"

#include "postman/news_cache.h"
#include "postman/news_thread.h"
#include "postman/postman_thread.h"

namespace velmora::postman {
namespace {
PostmanSetup g_setup;
}  // namespace

const PostmanSetup& Setup() { return g_setup; }

void AdoptPostmanSetup(const PostmanSetup& setup) {
  g_setup = setup;
  AdoptNewsCache(setup.newsCache);
}

void StartPostman(const PostmanSetup& setup) {
  AdoptPostmanSetup(setup);
  StartBackgroundThread(&NewsThread);
}

}  // namespace velmora::postman
