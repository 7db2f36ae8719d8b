// What this process holds: its threads and its kernel handles, for tests that look for leaks.
#pragma once

#include <cstdint>
#include <vector>

#include "sys/Win.h"

#include <tlhelp32.h>
#include <winternl.h>

template <typename Function>
Function NtFunction(const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), name)));
}

// Threads of this process that run this program's own code: started at an address inside its
// image. The system's helper threads (sound, thread pools) come and go as they please and are left
// out.
inline int OwnThreadCount() {
    using Query = NTSTATUS(NTAPI*)(HANDLE, THREADINFOCLASS, PVOID, ULONG, PULONG);
    constexpr auto kStartAddress = static_cast<THREADINFOCLASS>(9);  // ThreadQuerySetWin32StartAddress
    const auto query = NtFunction<Query>("NtQueryInformationThread");
    const auto* image = reinterpret_cast<const uint8_t*>(GetModuleHandleW(nullptr));
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(image + reinterpret_cast<const IMAGE_DOS_HEADER*>(image)->e_lfanew);
    const uint8_t* imageEnd = image + nt->OptionalHeader.SizeOfImage;

    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE || !query) return -1;
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    int n = 0;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
        if (entry.th32OwnerProcessID != GetCurrentProcessId()) continue;
        HANDLE thread = OpenThread(THREAD_QUERY_INFORMATION, FALSE, entry.th32ThreadID);
        if (!thread) continue;
        const uint8_t* start = nullptr;
        if (query(thread, kStartAddress, &start, sizeof start, nullptr) == 0 && start >= image && start < imageEnd) n++;
        CloseHandle(thread);
    }
    CloseHandle(snapshot);
    return n;
}

// GetProcessHandleCount where the system answers it; Wine answers 0, but lists every process's
// handles through NtQuerySystemInformation.
inline int HandleCount() {
    DWORD count = 0;
    if (GetProcessHandleCount(GetCurrentProcess(), &count) && count > 0) return static_cast<int>(count);
    struct Entry {
        ULONG process;
        UCHAR type, flags;
        USHORT handle;
        PVOID object;
        ACCESS_MASK access;
    };
    struct Table {
        ULONG count;
        Entry entries[1];
    };
    using Query = NTSTATUS(NTAPI*)(ULONG, PVOID, ULONG, PULONG);
    const auto query = NtFunction<Query>("NtQuerySystemInformation");
    if (!query) return -1;
    constexpr ULONG kSystemHandleInformation = 16;
    constexpr NTSTATUS kInfoLengthMismatch = static_cast<NTSTATUS>(0xC0000004L);
    std::vector<char> buffer(1 << 20);
    NTSTATUS status;
    ULONG needed = 0;
    while ((status = query(kSystemHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()), &needed)) ==
           kInfoLengthMismatch) {
        buffer.resize(buffer.size() * 2);
    }
    if (status != 0) return -1;
    const auto* table = reinterpret_cast<const Table*>(buffer.data());
    int n = 0;
    for (ULONG i = 0; i < table->count; i++) {
        if (table->entries[i].process == GetCurrentProcessId()) n++;
    }
    return n;
}
