// Starting the probe program from a test, in the same Wine prefix and display.
#pragma once

#include <string>

#include "sys/Owner.h"

// The folder of the running test program, with a trailing backslash.
std::wstring OwnFolder();

// Starts program with the command-line arguments args; its standard output goes to a pipe that
// ReadAll empties.
struct Child {
    KernelHandle process;
    KernelHandle output;  // read end
    DWORD id = 0;
};
Child StartChild(const std::wstring& program, const std::wstring& args);
std::string ReadAll(Child& child);
// Waits up to timeoutMs; returns the exit code, or STILL_ACTIVE after killing a child that hangs.
DWORD WaitForExit(Child& child, DWORD timeoutMs);

// Runs the probe program (beside the test program unless program is given) to its end.
struct ProbeResult {
    DWORD exitCode = 0;
    std::string output;
};
ProbeResult RunProbe(const std::wstring& args, const std::wstring& program = {});
