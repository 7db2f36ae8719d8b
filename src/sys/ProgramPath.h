// The program's own file name, as the run directory is made from it.
#pragma once

#include <string>

#include "util/Text.h"

// A full path read from Windows, in code page 936. A path that 936 cannot represent is given in
// its short (8.3) form, whose generated names fit in ASCII where the system makes them.
Text PathText(const std::wstring& path);

// The full path of the running program's file, as PathText gives it.
Text ProgramPath();
