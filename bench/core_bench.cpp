// Benchmarks of the core against peers measured in the same run. Each goal is printed as
//   ratio NAME VALUE <= GOAL
// where VALUE is our CPU time over the peer's (or over the smaller size's, for the linearity checks);
// CPU time, because these machines are shared and wall time is noisy.
#include <benchmark/benchmark.h>
#include <iconv.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <random>
#include <string>

#include "speech/RequestEncoding.h"
#include "util/MemoryStream.h"
#include "util/Text.h"

namespace {

constexpr size_t kMiB = 1024 * 1024;

// Chinese characters (GB2312 area) mixed with ASCII words, spaces and line breaks.
std::string MixedText(size_t size, uint32_t seed) {
    std::mt19937 rng(seed);
    std::string s;
    s.reserve(size + 2);
    while (s.size() < size) {
        uint32_t r = rng() % 10;
        if (r < 6) {
            s += static_cast<char>(0xB0 + rng() % 0x27);  // rows B0-D6 of GB2312 are full
            s += static_cast<char>(0xA1 + rng() % 0x5E);
        } else if (r < 9) {
            s += static_cast<char>('a' + rng() % 26);
        } else {
            s += (rng() % 8) ? ' ' : '\n';
        }
    }
    s.resize(size);
    if (static_cast<uint8_t>(s.back()) >= 0x80) s.back() = 'x';
    return s;
}

void BM_StreamWrite(benchmark::State& state) {
    Bytes chunk = Bytes::Of(std::string(2048, 'x'));
    for (auto _ : state) {
        StreamHandle s = OpenStream();
        for (size_t n = 0; n < 64 * kMiB; n += 2048) WriteBytes(s, chunk);
        SeekToStart(s);
        Bytes whole = ReadBytes(s, StreamLength(s));
        benchmark::DoNotOptimize(whole.Data());
        CloseStream(s);
    }
}

void BM_StringAppend(benchmark::State& state) {
    std::string chunk(2048, 'x');
    for (auto _ : state) {
        std::string s;
        for (size_t n = 0; n < 64 * kMiB; n += 2048) s.append(chunk);
        benchmark::DoNotOptimize(s.data());
    }
}

void BM_UrlEncode(benchmark::State& state) {
    Text text = Text::Of(MixedText(kMiB, 1));
    for (auto _ : state) {
        Text encoded = UrlEncodeUtf8(text);
        benchmark::DoNotOptimize(encoded.CStr());
    }
}

void BM_IconvTableEncode(benchmark::State& state) {
    std::string text = MixedText(kMiB, 1);
    char table[256][4];
    for (int b = 0; b < 256; b++) {
        bool plain = isalnum(b) && b < 0x80;
        snprintf(table[b], sizeof table[b], plain ? "%c" : "%%%02X", b);
    }
    iconv_t cd = iconv_open("UTF-8", "CP936");
    for (auto _ : state) {
        std::string utf8(text.size() * 2, '\0');
        char* in = text.data();
        size_t inLeft = text.size();
        char* out = utf8.data();
        size_t outLeft = utf8.size();
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        iconv(cd, &in, &inLeft, &out, &outLeft);
        utf8.resize(utf8.size() - outLeft);
        std::string encoded;
        encoded.reserve(utf8.size() * 3);
        for (unsigned char b : utf8) encoded += table[b];
        benchmark::DoNotOptimize(encoded.data());
    }
    iconv_close(cd);
}

const char kMarker[] = "' width='0' height=\"";  // 20 bytes, absent from the text

void BM_FindText(benchmark::State& state) {
    Text text = Text::Of(MixedText(static_cast<size_t>(state.range(0)) * kMiB, 2));
    Text marker = kMarker;
    for (auto _ : state) benchmark::DoNotOptimize(FindText(text, marker, kNoStart, false));
}

void BM_Memmem(benchmark::State& state) {
    std::string text = MixedText(static_cast<size_t>(state.range(0)) * kMiB, 2);
    for (auto _ : state) benchmark::DoNotOptimize(memmem(text.data(), text.size(), kMarker, 20));
}

std::string HeaderLines(size_t size) {
    std::string s;
    s.reserve(size + 128);
    for (int i = 0; s.size() < size; i++) {
        s += "Set-Cookie: session" + std::to_string(i) + "=abcdef0123456789; path=/; HttpOnly\r\n";
    }
    s.resize(size);
    return s;
}

void BM_ReadLine(benchmark::State& state) {
    Bytes lines = Bytes::Of(HeaderLines(static_cast<size_t>(state.range(0)) * kMiB));
    StreamHandle s = OpenStream();
    WriteBytes(s, lines);
    for (auto _ : state) {
        SeekToStart(s);
        while (!AtEnd(s, false)) benchmark::DoNotOptimize(ReadLine(s).CStr());
    }
    CloseStream(s);
}

BENCHMARK(BM_StreamWrite)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_StringAppend)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_UrlEncode)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_IconvTableEncode)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_FindText)->Arg(16)->Arg(32)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_Memmem)->Arg(16)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_ReadLine)->Arg(8)->Arg(16)->Unit(benchmark::kMillisecond)->MinTime(1.0);

// Keeps each run's time per iteration, by name, for the ratios.
class RecordingReporter : public benchmark::ConsoleReporter {
public:
    // No colours: the ratio lines are read by scripts, and a colour code would stand before them.
    RecordingReporter() : ConsoleReporter(OO_Tabular) {}
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& r : runs) times[r.benchmark_name()] = r.GetAdjustedCPUTime();
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> times;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RecordingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    struct Goal { const char* name; const char* ours; const char* peer; double goal; } goals[] = {
        {"stream_vs_string", "BM_StreamWrite/min_time:1.000", "BM_StringAppend/min_time:1.000", 1.30},
        {"urlencode_vs_iconv_table", "BM_UrlEncode/min_time:1.000", "BM_IconvTableEncode/min_time:1.000", 1.50},
        {"findtext_vs_memmem", "BM_FindText/16/min_time:1.000", "BM_Memmem/16/min_time:1.000", 3.00},
        {"findtext_linear", "BM_FindText/32/min_time:1.000", "BM_FindText/16/min_time:1.000", 2.30},
        {"readline_linear", "BM_ReadLine/16/min_time:1.000", "BM_ReadLine/8/min_time:1.000", 2.30},
    };
    for (const Goal& g : goals) {
        auto ours = reporter.times.find(g.ours), peer = reporter.times.find(g.peer);
        if (ours == reporter.times.end() || peer == reporter.times.end()) continue;
        printf("ratio %s %.2f <= %.2f\n", g.name, ours->second / peer->second, g.goal);
    }
    benchmark::Shutdown();
    return 0;
}
