// The native build has no internet library: every open fails, so a request ends with the failure
// result before anything else is called.
#include "http/Internet.h"

namespace {

class NoInternet : public InternetLibrary {
public:
    InternetHandle InternetOpenA(const char*, uint32_t, const char*, const char*, uint32_t) override {
        return nullptr;
    }
    InternetHandle InternetConnectA(InternetHandle, const char*, uint16_t, const char*, const char*, uint32_t,
                                    uint32_t, uintptr_t) override {
        return nullptr;
    }
    InternetHandle HttpOpenRequestA(InternetHandle, const char*, const char*, const char*, const char*,
                                    const char**, uint32_t, uintptr_t) override {
        return nullptr;
    }
    bool HttpSendRequestA(InternetHandle, const char*, uint32_t, const void*, uint32_t) override { return false; }
    bool InternetReadFile(InternetHandle, void*, uint32_t, uint32_t* bytesRead) override {
        if (bytesRead) *bytesRead = 0;
        return false;
    }
    QueryAnswer HttpQueryInfoA(InternetHandle, uint32_t, void*, uint32_t*, uint32_t*) override {
        return QueryAnswer::Failed;
    }
    bool InternetCloseHandle(InternetHandle) override { return false; }
    bool InternetSetCookieA(const char*, const char*, const char*) override { return false; }
};

}  // namespace

InternetLibrary& PlatformInternetLibrary() {
    static NoInternet library;
    return library;
}
