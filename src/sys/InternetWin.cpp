// The internet library seam over WinINet's A functions, bound by name. Only ASCII passes here: the
// request hands over host, path and headers as they go on the wire.
#include "http/Internet.h"
#include "sys/Bound.h"

namespace {

class WinInet final : public InternetLibrary {
public:
    InternetHandle InternetOpenA(const char* agent, uint32_t accessType, const char* proxy, const char* proxyBypass,
                                 uint32_t flags) override {
        return bound::InternetOpenA()(agent, accessType, proxy, proxyBypass, flags);
    }
    InternetHandle InternetConnectA(InternetHandle internet, const char* serverName, uint16_t port,
                                    const char* userName, const char* password, uint32_t service, uint32_t flags,
                                    uintptr_t context) override {
        return bound::InternetConnectA()(internet, serverName, port, userName, password, service, flags, context);
    }
    InternetHandle HttpOpenRequestA(InternetHandle connection, const char* verb, const char* objectName,
                                    const char* version, const char* referrer, const char** acceptTypes,
                                    uint32_t flags, uintptr_t context) override {
        return bound::HttpOpenRequestA()(connection, verb, objectName, version, referrer, acceptTypes, flags,
                                         context);
    }
    bool HttpSendRequestA(InternetHandle request, const char* headers, uint32_t headersLength, const void* optional,
                          uint32_t optionalLength) override {
        return bound::HttpSendRequestA()(request, headers, headersLength, const_cast<void*>(optional),
                                         optionalLength) != FALSE;
    }
    bool InternetReadFile(InternetHandle file, void* buffer, uint32_t bytesToRead, uint32_t* bytesRead) override {
        DWORD read = 0;
        BOOL ok = bound::InternetReadFile()(file, buffer, bytesToRead, &read);
        if (bytesRead) *bytesRead = read;
        return ok != FALSE;
    }
    QueryAnswer HttpQueryInfoA(InternetHandle request, uint32_t infoLevel, void* buffer, uint32_t* bufferLength,
                               uint32_t* index) override {
        DWORD length = bufferLength ? *bufferLength : 0;
        DWORD at = index ? *index : 0;
        BOOL ok = bound::HttpQueryInfoA()(request, infoLevel, buffer, &length, index ? &at : nullptr);
        const DWORD error = ok ? ERROR_SUCCESS : GetLastError();
        if (bufferLength) *bufferLength = length;
        if (index) *index = at;
        if (ok) return QueryAnswer::Written;
        return error == ERROR_INSUFFICIENT_BUFFER ? QueryAnswer::BufferTooSmall : QueryAnswer::Failed;
    }
    bool InternetCloseHandle(InternetHandle handle) override { return bound::InternetCloseHandle()(handle) != FALSE; }
    bool InternetSetCookieA(const char* url, const char* cookieName, const char* cookieData) override {
        return bound::InternetSetCookieA()(url, cookieName, cookieData) != FALSE;
    }
};

}  // namespace

InternetLibrary& PlatformInternetLibrary() {
    static WinInet library;
    return library;
}
