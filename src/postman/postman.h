#pragma once
// The background postman: the news thread, then the postman thread that
// sends the files of ERP\OUT\ for the rest of the run.

namespace velmora::postman {

// Called once by the main dialog when it opens.
void StartPostman();

}  // namespace velmora::postman
