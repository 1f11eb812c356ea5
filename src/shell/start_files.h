#pragma once
// The launcher's own small files read at start-up: the greeting toggle
// (velmora.fnb) and the news cache (velmora.cfg).

#include <windows.h>

#include <cstdint>
#include <string>

#include "shell/app_state.h"

namespace velmora::shell {

// The stored 16-bit value; 0 when the file is missing or shorter than 2 bytes.
int16_t ReadGreetingToggle(const std::string& path);
void WriteGreetingToggle(const std::string& path, int16_t value);

// Plays the greeting the toggle calls for and stores the next value, so that
// successive starts alternate between the two greetings.
void PlayGreeting(HINSTANCE instance, const std::string& togglePath);

// Loads at most 5008 bytes of the cache; NULs in the text become blanks.
// A missing file leaves the buffer as it was and returns false.
bool LoadNewsCache(const std::string& path, NewsBuffer& news);

}  // namespace velmora::shell
