#pragma once
// The message history's grid control, window class "ListCorvane".

#include <windows.h>

#include <string>

namespace velmora::listctl {

inline constexpr char kListClassName[] = "ListCorvane";

// Registers the grid's class and its editor's; false when the grid's class
// could not be registered.
bool RegisterListClass(HINSTANCE instance);

}  // namespace velmora::listctl
