// Loading a system library from the system folder alone. A DLL of the same name placed beside the
// program, or in the current directory, is never picked up in its place.
#pragma once

#include "sys/Owner.h"
#include "util/Text.h"

// Empty when the system folder holds no such library.
ModuleOwner LoadSystemLibrary(const Text& name);
