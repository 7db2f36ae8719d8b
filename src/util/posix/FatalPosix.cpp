#include <cstdio>
#include <cstdlib>

#include "util/Fatal.h"

// The report goes to stderr byte for byte, as the message box would show it.
void ShowFatalReportAndExit(const Text& report) {
    fwrite(report.View().data(), 1, report.View().size(), stderr);
    fflush(stderr);
    std::_Exit(-1);
}
