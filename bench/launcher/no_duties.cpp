#include "minimal_duties.h"

void TakeStartDuties(HINSTANCE) {}
void StartBackgroundDuties() {}
