#pragma once
// The keyed-file writer lives with the stand-ins, where the sample suite
// uses it too.
#include "keyed_files/keyed_file_writer.h"
