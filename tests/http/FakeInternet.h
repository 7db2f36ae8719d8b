// A recording stand-in for the internet library and the event pump. Every call is logged as one
// line with its arguments, strings quoted raw and null pointers as null, in the order made; the
// pump logs "PumpEvents" into the same log so reads and pumps can be checked against each other.
// It answers from a script: which open fails, the body chunks, the raw header text.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "http/Internet.h"
#include "util/Pump.h"

class FakeInternet : public InternetLibrary, public EventPump {
public:
    // Script.
    bool failOpen = false, failConnect = false, failRequest = false;
    std::deque<std::string> bodyChunks;  // one per read, cut to the size asked for; then reads give 0
    std::string rawHeaders;              // written with its terminator when it fits
    bool headerQueryFails = false;       // the query fails without writing anything
    std::function<void()> onPump;        // runs inside PumpEvents

    std::vector<std::string> log;

    FakeInternet() {
        previousLibrary_ = SetInternetLibraryForTesting(this);
        previousPump_ = SetEventPumpForTesting(this);
    }
    ~FakeInternet() override {
        SetInternetLibraryForTesting(previousLibrary_);
        SetEventPumpForTesting(previousPump_);
    }
    FakeInternet(const FakeInternet&) = delete;
    FakeInternet& operator=(const FakeInternet&) = delete;

    // The calls made after the given one: the tail of the log from the first line starting with it.
    std::vector<std::string> From(const std::string& prefix) const {
        for (size_t i = 0; i < log.size(); i++) {
            if (log[i].rfind(prefix, 0) == 0) return {log.begin() + static_cast<long>(i), log.end()};
        }
        return {};
    }
    int Count(const std::string& prefix) const {
        int n = 0;
        for (const auto& line : log) n += line.rfind(prefix, 0) == 0;
        return n;
    }

    void Pump() override {
        // A loop that never ends would otherwise hang the test run instead of failing it.
        if (log.size() > kLogLimit) {
            fprintf(stderr, "FakeInternet: more than %zu calls, the request does not end\n", kLogLimit);
            abort();
        }
        log.push_back("PumpEvents");
        if (onPump) onPump();
    }

    InternetHandle InternetOpenA(const char* agent, uint32_t accessType, const char* proxy, const char* proxyBypass,
                                 uint32_t flags) override {
        Log("InternetOpenA", {S(agent), N(accessType), S(proxy), S(proxyBypass), N(flags)});
        return failOpen ? nullptr : &handles_[0];
    }
    InternetHandle InternetConnectA(InternetHandle internet, const char* serverName, uint16_t port,
                                    const char* userName, const char* password, uint32_t service, uint32_t flags,
                                    uintptr_t context) override {
        Log("InternetConnectA", {H(internet), S(serverName), N(port), S(userName), S(password), N(service), N(flags),
                                 N(context)});
        return failConnect ? nullptr : &handles_[1];
    }
    InternetHandle HttpOpenRequestA(InternetHandle connection, const char* verb, const char* objectName,
                                    const char* version, const char* referrer, const char** acceptTypes,
                                    uint32_t flags, uintptr_t context) override {
        Log("HttpOpenRequestA", {H(connection), S(verb), S(objectName), S(version), S(referrer),
                                 acceptTypes ? "types" : "null", Hex(flags), N(context)});
        return failRequest ? nullptr : &handles_[2];
    }
    bool HttpSendRequestA(InternetHandle request, const char* headers, uint32_t headersLength, const void* optional,
                          uint32_t optionalLength) override {
        Log("HttpSendRequestA",
            {H(request), headers ? Q(std::string(headers, headersLength)) : "null", N(headersLength),
             optional ? Q(std::string(static_cast<const char*>(optional), optionalLength)) : "null",
             N(optionalLength)});
        return true;
    }
    bool InternetReadFile(InternetHandle file, void* buffer, uint32_t bytesToRead, uint32_t* bytesRead) override {
        uint32_t n = 0;
        if (!bodyChunks.empty()) {
            std::string& chunk = bodyChunks.front();
            n = static_cast<uint32_t>(std::min<size_t>(chunk.size(), bytesToRead));
            memcpy(buffer, chunk.data(), n);
            chunk.erase(0, n);
            if (chunk.empty()) bodyChunks.pop_front();
        }
        *bytesRead = n;
        Log("InternetReadFile", {H(file), N(bytesToRead)}, " -> " + std::to_string(n));
        return true;
    }
    QueryAnswer HttpQueryInfoA(InternetHandle request, uint32_t infoLevel, void* buffer, uint32_t* bufferLength,
                               uint32_t* index) override {
        Log("HttpQueryInfoA", {H(request), N(infoLevel), N(*bufferLength), index ? "index" : "null"});
        if (headerQueryFails) return QueryAnswer::Failed;
        // As the library does: the size named when the text does not fit counts the terminator,
        // the length written back after a fit does not.
        if (rawHeaders.size() + 1 > *bufferLength) {
            *bufferLength = static_cast<uint32_t>(rawHeaders.size() + 1);
            return QueryAnswer::BufferTooSmall;
        }
        memcpy(buffer, rawHeaders.c_str(), rawHeaders.size() + 1);
        *bufferLength = static_cast<uint32_t>(rawHeaders.size());
        return QueryAnswer::Written;
    }
    bool InternetCloseHandle(InternetHandle handle) override {
        Log("InternetCloseHandle", {H(handle)});
        return true;
    }
    bool InternetSetCookieA(const char* url, const char* cookieName, const char* cookieData) override {
        Log("InternetSetCookieA", {S(url), S(cookieName), S(cookieData)});
        return true;
    }

private:
    static constexpr size_t kLogLimit = 100000;

    static std::string Q(const std::string& s) { return "\"" + s + "\""; }
    static std::string S(const char* s) { return s ? Q(s) : "null"; }
    static std::string N(uint64_t n) { return std::to_string(n); }
    static std::string Hex(uint32_t n) {
        char buf[16];
        snprintf(buf, sizeof buf, "0x%X", n);
        return buf;
    }
    std::string H(InternetHandle h) const {
        static const char* const kNames[] = {"internet", "connection", "request"};
        for (int i = 0; i < 3; i++) {
            if (h == &handles_[i]) return kNames[i];
        }
        return h ? "unknown" : "null";
    }
    void Log(const char* name, std::initializer_list<std::string> args, const std::string& tail = "") {
        std::string line = std::string(name) + "(";
        bool first = true;
        for (const auto& a : args) {
            if (!first) line += ", ";
            line += a;
            first = false;
        }
        log.push_back(line + ")" + tail);
    }

    char handles_[3] = {};
    InternetLibrary* previousLibrary_ = nullptr;
    EventPump* previousPump_ = nullptr;
};
