// HttpRequest against a plain read loop of the same internet library, on one 64 MiB body from the
// scripted server on loopback, in the same run. The loop reads the same 2048-byte chunks into a
// buffer made beforehand and pumps nothing, so the ratio shows what the request adds to the
// library's own cost: the message pump before every read and the fresh memory the body grows in.
//
// Prints the best throughputs, with a third loop that pumps before every read and does nothing else,
// so that what the pump costs can be told apart from what the request adds; then what one pump and
// one page of new memory cost by themselves, and the ceiling they set; and
//   ratio http_vs_raw_wininet_2k VALUE >= 0.75
// Run it through tests/http/with_server.sh under wine64.
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "ScriptedServer.h"
#include "http/HttpRequest.h"
#include "http/Internet.h"
#include "sys/Win.h"
#include "util/Pump.h"

namespace {

constexpr uint64_t kBodySize = 64ull << 20;
constexpr uint32_t kChunk = 2048;
constexpr int kRounds = 5;

double Seconds() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// The same calls HttpRequest makes, without its stream and header work, and without its pump unless
// asked: the loop with the pump shows the ceiling the pump alone sets.
uint64_t RawLoop(const std::string& host, int port, std::vector<uint8_t>& into, bool pump) {
    InternetLibrary& lib = PlatformInternetLibrary();
    InternetHandle internet = lib.InternetOpenA("bench", kInternetOpenTypeDirect, nullptr, nullptr, 0);
    InternetHandle connection = lib.InternetConnectA(internet, host.c_str(), static_cast<uint16_t>(port), "", "",
                                                     kInternetServiceHttp, 0, 0);
    InternetHandle request = lib.HttpOpenRequestA(connection, nullptr, "/bench", "HTTP/1.1", nullptr, nullptr,
                                                  kInternetFlagReload, 0);
    lib.HttpSendRequestA(request, "", 0, nullptr, 0);
    uint64_t total = 0;
    uint32_t count = 0;
    do {
        count = 0;
        if (total + kChunk > into.size()) break;
        if (pump) PumpEvents();
        lib.InternetReadFile(request, into.data() + total, kChunk, &count);
        total += count;
    } while (count != 0);
    lib.InternetCloseHandle(request);
    lib.InternetCloseHandle(connection);
    lib.InternetCloseHandle(internet);
    return total;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

double MegabytesPerSecond(uint64_t bytes, double seconds) { return static_cast<double>(bytes) / 1e6 / seconds; }

// What one PumpEvents costs with nothing waiting: under Wine, one round trip to the server.
double PumpMicroseconds() {
    constexpr int kCalls = 20000;
    PumpEvents();
    double start = Seconds();
    for (int i = 0; i < kCalls; i++) PumpEvents();
    return (Seconds() - start) / kCalls * 1e6;
}

// What the first write to a page of new memory costs. A result the caller keeps must be new memory:
// 2048 bytes of it are half a page per read, and nothing the request does can make that cheaper.
double FreshPageMicroseconds() {
    constexpr size_t kSize = 64u << 20;
    constexpr size_t kPage = 4096;
    auto* memory = static_cast<volatile uint8_t*>(VirtualAlloc(nullptr, kSize, MEM_RESERVE | MEM_COMMIT,
                                                               PAGE_READWRITE));
    if (!memory) return 0;
    double start = Seconds();
    for (size_t at = 0; at < kSize; at += kPage) memory[at] = 1;
    double elapsed = Seconds() - start;
    VirtualFree(const_cast<uint8_t*>(memory), 0, MEM_RELEASE);
    return elapsed / (kSize / kPage) * 1e6;
}

}  // namespace

int main() {
    ScriptedServer server;
    if (server.Port() == 0) {
        fprintf(stderr, "http_bench: no scripted server (run through tests/http/with_server.sh)\n");
        return 1;
    }
    if (!server.Answer("/bench", Script().Send(AnswerHead("", static_cast<long long>(kBodySize))).Fill(kBodySize, 'x'))) {
        fprintf(stderr, "http_bench: the scripted server did not take the answer\n");
        return 1;
    }
    std::string url = server.HostAndPort() + "/bench";
    std::vector<uint8_t> buffer(kBodySize + kChunk);

    // The machine is shared and its load drifts, so each round runs the three kinds back to back (in
    // rotating order) and gives its own ratios; the ratio printed is the median over the rounds.
    enum Kind { kRaw, kRawPumped, kHttp, kKinds };
    const char* const names[kKinds] = {"the raw loop", "the pumped loop", "HttpRequest"};
    double best[kKinds] = {};
    std::vector<double> httpRatios, pumpRatios;
    for (int round = 0; round < kRounds; round++) {
        double speed[kKinds] = {};
        for (int turn = 0; turn < kKinds; turn++) {
            int kind = (round + turn) % kKinds;
            double start = Seconds();
            uint64_t got = 0;
            if (kind == kHttp) {
                Text headers, responseHeaders;
                got = static_cast<uint64_t>(
                    HttpRequest(Text(url.c_str()), Text(), Text(), headers, Text(), responseHeaders).Length());
            } else {
                got = RawLoop("127.0.0.1", server.Port(), buffer, kind == kRawPumped);
            }
            speed[kind] = MegabytesPerSecond(got, Seconds() - start);
            if (got != kBodySize) {
                fprintf(stderr, "http_bench: %s read %llu of %llu bytes\n", names[kind],
                        static_cast<unsigned long long>(got), static_cast<unsigned long long>(kBodySize));
                return 1;
            }
            best[kind] = std::max(best[kind], speed[kind]);
        }
        httpRatios.push_back(speed[kHttp] / speed[kRaw]);
        pumpRatios.push_back(speed[kRawPumped] / speed[kRaw]);
        server.Take();
    }
    printf("http_vs_raw_wininet_2k: best HttpRequest %.1f MB/s, raw 2048-byte loop %.1f MB/s, the same loop "
           "pumping before every read %.1f MB/s (64 MiB, %d rounds); median pumped/raw %.3f\n",
           best[kHttp], best[kRaw], best[kRawPumped], kRounds, Median(pumpRatios));
    // The ceiling the platform sets: a request that did nothing but pump once per read and keep its
    // chunk in new memory.
    double readCost = kChunk / best[kRaw];  // MB/s is bytes per microsecond
    double pumpCost = PumpMicroseconds();
    double pageCost = FreshPageMicroseconds();
    printf("http_vs_raw_wininet_2k: per 2048-byte read: the read %.1f us, one PumpEvents %.1f us, new memory "
           "%.1f us (%.1f us per 4 KiB page); ceiling read/(read+pump) %.3f, with new memory %.3f\n",
           readCost, pumpCost, pageCost / 2, pageCost, readCost / (readCost + pumpCost),
           readCost / (readCost + pumpCost + pageCost / 2));
    printf("ratio http_vs_raw_wininet_2k %.3f >= 0.75\n", Median(httpRatios));
    return 0;
}
