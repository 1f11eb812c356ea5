#pragma once
// ERP environment: at start the launcher brings the suite's directory files up
// to date with where the suite really lies on disk. The suite root is taken
// from the current directory (everything before its first "ERP"); the ERP
// directory file there gets the module folders, and each module's company
// folder (FIRMA) gets its directory file refreshed, created with defaults
// when missing. Everything runs on the main thread while the main dialog
// initialises, and every step returns to the directory it started in.

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "erpdirs/current_directory_files.h"  // ChangeToDirectory, CurrentDirectory
#include "erpdirs/directory_files.h"          // the four directory files' loaders
#include "erpdirs/index_sort.h"
#include "erpdirs/primes.h"
#include "erpdirs/text_search.h"

namespace velmora::erpdirs {

// The ERP directory file refresh, then the accounting, payroll and
// fixed-assets steps. `owner` owns the message boxes shown on the way.
void PrepareErpEnvironment(HWND owner);

// Creates an empty keyed file of `blockCount` blocks in the current
// directory. 0 on success; 1 when the count is 2 or less, the file exists or
// cannot be created or written.
int16_t CreateKeyedFile(std::string_view name, int32_t blockCount);

}  // namespace velmora::erpdirs
