#pragma once
// The server link's routines used by the rest of the program.

#include <cstdint>

namespace velmora::link {

// Hands the application log channel to the link for its own log lines.
void SETLUNSTARWNDLOG(int16_t channel);

// Closes the link's socket; returns 0.
int INCHIDECONEXIUNELASERVER();

}  // namespace velmora::link
