// The internet library as the HTTP request sees it: the eight calls it makes, with the arguments it
// passes and the answers it relies on, and nothing else.
//
// Seam: Windows binds the A functions by name from the system's internet library; the native build
// has no internet library, so every open fails there. Tests install a library of their own.
#pragma once

#include <cstdint>

using InternetHandle = void*;  // null: the open failed

// The library's values for the arguments the request passes.
constexpr uint32_t kInternetOpenTypeDirect = 1;
constexpr uint32_t kInternetOpenTypeProxy = 3;
constexpr uint32_t kInternetServiceHttp = 3;
constexpr uint32_t kInternetFlagReload = 0x80000000;
constexpr uint32_t kHttpQueryRawHeadersCrlf = 22;

// How a header query ended. BufferTooSmall is the library's ERROR_INSUFFICIENT_BUFFER: nothing
// useful was written and the length argument now holds the size the answer needs.
enum class QueryAnswer { Written, BufferTooSmall, Failed };

class InternetLibrary {
public:
    virtual ~InternetLibrary() = default;
    virtual InternetHandle InternetOpenA(const char* agent, uint32_t accessType, const char* proxy,
                                         const char* proxyBypass, uint32_t flags) = 0;
    virtual InternetHandle InternetConnectA(InternetHandle internet, const char* serverName, uint16_t port,
                                            const char* userName, const char* password, uint32_t service,
                                            uint32_t flags, uintptr_t context) = 0;
    virtual InternetHandle HttpOpenRequestA(InternetHandle connection, const char* verb, const char* objectName,
                                            const char* version, const char* referrer, const char** acceptTypes,
                                            uint32_t flags, uintptr_t context) = 0;
    virtual bool HttpSendRequestA(InternetHandle request, const char* headers, uint32_t headersLength,
                                  const void* optional, uint32_t optionalLength) = 0;
    virtual bool InternetReadFile(InternetHandle file, void* buffer, uint32_t bytesToRead, uint32_t* bytesRead) = 0;
    virtual QueryAnswer HttpQueryInfoA(InternetHandle request, uint32_t infoLevel, void* buffer,
                                       uint32_t* bufferLength, uint32_t* index) = 0;
    virtual bool InternetCloseHandle(InternetHandle handle) = 0;
    virtual bool InternetSetCookieA(const char* url, const char* cookieName, const char* cookieData) = 0;
};

// The library in use: the one a test installed, else the platform's.
InternetLibrary& Internet();
// Replaces the library (null restores the platform's); returns the one it replaced.
InternetLibrary* SetInternetLibraryForTesting(InternetLibrary* library);
InternetLibrary& PlatformInternetLibrary();
