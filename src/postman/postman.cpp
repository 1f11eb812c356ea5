#include "postman/postman.h"

#include "link/link_api.h"
#include "postman/news_cache.h"
#include "postman/news_thread.h"

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
  Sleep(10);
  DWORD id = 0;
  const HANDLE thread = CreateThread(nullptr, 0, &NewsThread, nullptr, 0, &id);
  if (thread == nullptr) {
    link::WRITEINLOGSTARWND("eroare initializare thread ....");
    return;
  }
  CloseHandle(thread);  // never joined: the end of the process stops it
  link::WRITEINLOGSTARWND(" thread postas initilizat....");
}

}  // namespace velmora::postman
