// The fatal run-time error report: the one way Tarvinel stops on its own.
//
// Seam: the Windows side shows a message box and exits with -1; the native build prints the
// report on stderr and exits with -1.
#pragma once

#include "util/Text.h"

// Error codes of the report; 0 means the report carries no code.
enum FatalCode : int {
    kFatalNoCode = 0,
    kFatalIndexAboveLength = 1,
    kFatalIndexBelowOne = 4,
    kFatalStackCheck = 6,
};

// The report's text in code page 936, as the message box shows it.
Text FatalReportText(int code, const Text& message);
// The standard message of a code, or the absent text for kFatalNoCode.
Text FatalCodeMessage(int code);

// Shows the report for code with its standard message and ends the process with exit code -1.
[[noreturn]] void FatalError(int code);
// Shows the report with a message of its own and no code, then ends the process with -1.
[[noreturn]] void FatalErrorMessage(const Text& message);

// Platform part: show the finished report text and end the process with exit code -1.
[[noreturn]] void ShowFatalReportAndExit(const Text& report);
