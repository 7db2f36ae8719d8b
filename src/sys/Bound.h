// System functions bound by name. Each is looked up the first time it is called and its address kept;
// the libraries stay loaded until ReleaseBoundLibraries, which start-up's counterpart calls at
// shut-down. Libraries are loaded from the system folder only, never from beside the program. A
// library or function that cannot be found ends the program through the fatal report.
//
// Names and captions pass through W functions; the internet library's A functions see only ASCII.
#pragma once

#include "sys/Win.h"

#include <urlmon.h>
#include <wininet.h>

#include "util/Text.h"

namespace bound {
decltype(&::MultiByteToWideChar) MultiByteToWideChar();
decltype(&::WideCharToMultiByte) WideCharToMultiByte();
decltype(&::InternetOpenA) InternetOpenA();
decltype(&::InternetConnectA) InternetConnectA();
decltype(&::InternetCloseHandle) InternetCloseHandle();
decltype(&::HttpSendRequestA) HttpSendRequestA();
decltype(&::HttpQueryInfoA) HttpQueryInfoA();
decltype(&::InternetSetCookieA) InternetSetCookieA();
decltype(&::HttpOpenRequestA) HttpOpenRequestA();
decltype(&::InternetReadFile) InternetReadFile();
decltype(&::URLDownloadToFileW) URLDownloadToFileW();
}  // namespace bound

// Frees every library bound so far; a bound function called afterwards is looked up again.
void ReleaseBoundLibraries();

// The address of function in library, the library being loaded (once) from the system folder. The
// empty library name tries Kernel32.dll, Gdi32.dll, User32.dll, Advapi32.dll, Mpr.dll and
// Shell32.dll in turn and keeps the first that exports the function. Ends through the fatal report
// when nothing is found.
FARPROC BindByName(const Text& library, const Text& function);

// The fatal report's message for a function that could not be bound.
Text BindFailureMessage(const Text& library, const Text& function);
