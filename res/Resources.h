// Resource ids shared by the resource script and the program.
#pragma once

#define TARVINEL_ICON 1
