#pragma once
// The launcher's own small file read at start-up: the greeting toggle
// (velmora.fnb). The news cache (velmora.cfg) is the postman's.

#include <windows.h>

#include <cstdint>
#include <string>

namespace velmora::shell {

// The stored 16-bit value; 0 when the file is missing or shorter than 2 bytes.
int16_t ReadGreetingToggle(const std::string& path);
void WriteGreetingToggle(const std::string& path, int16_t value);

// Plays the greeting the toggle calls for and stores the next value, so that
// successive starts alternate between the two greetings.
void PlayGreeting(HINSTANCE instance, const std::string& togglePath);

}  // namespace velmora::shell
