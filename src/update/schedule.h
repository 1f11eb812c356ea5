#pragma once
// The slide schedule velmora.scn and the slide table it fills.

#include <string>
#include <string_view>

namespace velmora::update {

// Reads a schedule file, shared with its other users, into `text`; false
// when it cannot be opened.
bool ReadScheduleFile(const std::string& path, std::string& text);

// Reads `directory` + "\velmora.scn" into the slide table.
void LoadSchedule(std::string_view directory);

}  // namespace velmora::update
