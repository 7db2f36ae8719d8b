#include "Child.h"

std::wstring OwnFolder() {
    std::wstring path(32768, L'\0');
    path.resize(GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
    return path.substr(0, path.rfind(L'\\') + 1);
}

Child StartChild(const std::wstring& program, const std::wstring& args) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    Child child;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) return child;
    child.output.Reset(readEnd);
    KernelHandle writer(writeEnd);
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);

    STARTUPINFOW si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = writeEnd;
    si.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    std::wstring commandLine = L"\"" + program + L"\" " + args;
    PROCESS_INFORMATION pi{};
    if (CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi)) {
        child.process.Reset(pi.hProcess);
        CloseHandle(pi.hThread);
        child.id = pi.dwProcessId;
    }
    return child;
}

std::string ReadAll(Child& child) {
    std::string out;
    char buffer[512];
    DWORD n = 0;
    while (child.output && ReadFile(child.output.Get(), buffer, sizeof buffer, &n, nullptr) && n > 0)
        out.append(buffer, n);
    return out;
}

DWORD WaitForExit(Child& child, DWORD timeoutMs) {
    if (!child.process) return STILL_ACTIVE;
    if (WaitForSingleObject(child.process.Get(), timeoutMs) != WAIT_OBJECT_0) {
        TerminateProcess(child.process.Get(), 1);
        WaitForSingleObject(child.process.Get(), 5000);
        return STILL_ACTIVE;
    }
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(child.process.Get(), &code);
    return code;
}

ProbeResult RunProbe(const std::wstring& args, const std::wstring& program) {
    Child child = StartChild(program.empty() ? OwnFolder() + L"probe.exe" : program, args);
    ProbeResult result;
    if (!child.process) {
        result.exitCode = STILL_ACTIVE;
        return result;
    }
    result.output = ReadAll(child);
    std::erase(result.output, '\r');  // the probe's output is in text mode
    result.exitCode = WaitForExit(child, 20000);
    return result;
}
