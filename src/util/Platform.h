// What each platform supplies to the core, implemented once in src/util/posix (the native build)
// and once in src/sys (Windows). Only the seams' own files include this.
#pragma once

#include "util/Clock.h"
#include "util/Files.h"
#include "util/Text.h"

LocalTime PlatformLocalClock();
void PlatformPumpEvents();
FileSystem& PlatformFileSystem();
