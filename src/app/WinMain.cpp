// Start-up and shut-down of the program. The window comes later; for now the program fixes its run
// directory, runs the message loop until it is told to quit and releases what it bound by name.
#include "sys/Bound.h"
#include "sys/MessageLoop.h"
#include "sys/Win.h"
#include "util/Files.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    RunDirectory();
    PostQuitMessage(0);
    const int exitCode = RunMessageLoop();
    ReleaseBoundLibraries();
    return exitCode;
}
