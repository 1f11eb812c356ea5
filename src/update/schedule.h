#pragma once
// The slide schedule velmora.scn and the slide table it fills.

#include <string_view>

namespace velmora::update {

// Reads `directory` + "\velmora.scn" into the slide table.
void LoadSchedule(std::string_view directory);

}  // namespace velmora::update
