// <windows.h> for Tarvinel's own sources. The A/W macros are left to pick the A names (UNICODE is
// not defined), and every call names its W function explicitly; CreateDirectory is undefined because
// the core has a function of that name.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#undef CreateDirectory
