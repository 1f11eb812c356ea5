#pragma once
// What a program doing the launcher's job pays for whatever its window shows:
// in the duties build, the common controls 6 manifest (from its resources),
// the greeting played at start, and two background threads with hidden
// dialogs, one of which asks the server for something over winsock. The
// bare build does none of it.

#include <windows.h>

void TakeStartDuties(HINSTANCE instance);
void StartBackgroundDuties();
