#pragma once
// The message history's grid control, window class "ListCorvane".

#include <windows.h>

#include <string>

namespace velmora::listctl {

inline constexpr char kListClassName[] = "ListCorvane";

// Registers the grid's class and its editor's; on failure `message` holds the
// reason, else it is blank.
bool RegisterListClass(HINSTANCE instance, std::string& message);

}  // namespace velmora::listctl
