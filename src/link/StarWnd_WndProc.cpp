#include "link/link_api.h"

namespace velmora::link {

// Entry point for shutdown; the link window comes with the server link.
int INCHIDECONEXIUNELASERVER() { return 0; }

}  // namespace velmora::link
