#pragma once
// The full path of the running program, asked of Windows once and kept for
// the rest of the run. Paths longer than MAX_PATH are read whole.

#include <string>

namespace velmora {

// Empty when Windows could not give the path; ProgramPathError() is then
// the GetLastError code of that failure.
const std::string& ProgramPath();
unsigned long ProgramPathError();

}  // namespace velmora
