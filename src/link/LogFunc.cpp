#include "link/link_api.h"

namespace velmora::link {

namespace {
int16_t g_logChannel = 0;
}

void SETLUNSTARWNDLOG(int16_t channel) { g_logChannel = channel; }

}  // namespace velmora::link
