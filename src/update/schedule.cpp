#include "update/schedule.h"

namespace velmora::update {

// Entry point for start-up; the schedule reader comes with the slide show.
void LoadSchedule(std::string_view /*directory*/) {}

}  // namespace velmora::update
