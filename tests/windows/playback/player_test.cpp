// The MP3 player under wine64, playing to the ALSA file device that ctest gives this program (see
// CMakeLists.txt): the device writes exactly the PCM it is handed, so what was played can be compared
// with what the decoder makes, byte for byte. That device plays faster than real time.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <string>
#include <thread>
#include <vector>

#include "ProcessCounts.h"
#include "app/Mp3Decoder.h"
#include "app/Mp3Player.h"
#include "app/PlaybackCommands.h"
#include "sys/Win.h"
#include "util/Mp3Frames.h"
#include "windows/TempFolder.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

const std::wstring kData = L"" TARVINEL_TEST_DATA;
const std::wstring kCapture = L"" TARVINEL_AUDIO_CAPTURE;

std::vector<uint8_t> ReadBytes(const std::wstring& name) {
    std::vector<uint8_t> data;
    HANDLE h = CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return data;
    LARGE_INTEGER size{};
    GetFileSizeEx(h, &size);
    data.resize(static_cast<size_t>(size.QuadPart));
    DWORD read = 0;
    if (!data.empty()) ReadFile(h, data.data(), static_cast<DWORD>(data.size()), &read, nullptr);
    data.resize(read);
    CloseHandle(h);
    return data;
}

void WriteBytes(const std::wstring& name, const std::vector<uint8_t>& data) {
    HANDLE h = CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    if (!data.empty()) WriteFile(h, data.data(), static_cast<DWORD>(data.size()), &written, nullptr);
    CloseHandle(h);
    ASSERT_EQ(written, data.size());
}

// The whole PCM of an MP3 file, as the player's decoder makes it.
struct Pcm {
    WAVEFORMATEX format{};
    std::vector<uint8_t> bytes;
    double Seconds() const { return static_cast<double>(bytes.size()) / format.nAvgBytesPerSec; }
};

Pcm Decode(const std::vector<uint8_t>& mp3) {
    Pcm pcm;
    auto decoder = Mp3Decoder::Open(mp3);
    if (!decoder) return pcm;
    pcm.format = decoder->PcmFormat();
    uint8_t chunk[4096];
    for (size_t n; (n = decoder->Read(chunk, sizeof chunk)) > 0;) pcm.bytes.insert(pcm.bytes.end(), chunk, chunk + n);
    return pcm;
}

// Root mean square of 16-bit samples.
double Loudness(const std::vector<uint8_t>& pcm) {
    double sum = 0;
    size_t n = pcm.size() / 2;
    for (size_t i = 0; i < n; i++) {
        double s = static_cast<int16_t>(pcm[2 * i] | pcm[2 * i + 1] << 8);
        sum += s * s;
    }
    return n ? std::sqrt(sum / n) : 0;
}

// The frames of an MP3 file written n times over: a long speech for the tests that stop one.
std::vector<uint8_t> Repeated(const std::vector<uint8_t>& mp3, int n) {
    std::vector<uint8_t> once(mp3.begin() + static_cast<long>(Id3v2TagSize(mp3.data(), mp3.size())), mp3.end());
    std::vector<uint8_t> out;
    for (int i = 0; i < n; i++) out.insert(out.end(), once.begin(), once.end());
    return out;
}

bool WaitUntilQuiet(std::chrono::milliseconds limit = 20s) {
    const auto end = Clock::now() + limit;
    while (Mp3Playing()) {
        if (Clock::now() > end) return false;
        Sleep(5);
    }
    return true;
}

// The count of the program's own threads once it has settled at `expected` (or the last count seen):
// a thread that has finished its work still takes a moment to be gone.
int OwnThreadsSettledAt(int expected) {
    int n = OwnThreadCount();
    for (auto end = Clock::now() + 2s; n != expected && Clock::now() < end; n = OwnThreadCount()) Sleep(10);
    return n;
}

Text Narrow(const std::wstring& ascii) { return Text::Of(std::string(ascii.begin(), ascii.end())); }

struct Fixture {
    const wchar_t* name;
    DWORD rate;
    WORD channels;
    double speechSeconds;  // the speech the file was made from (make-mp3-fixtures.sh)
};
const Fixture kFixtures[] = {
    {L"speech-22k-mono-id3.mp3", 22050, 1, 3.150},
    {L"speech-44k-stereo.mp3", 44100, 2, 2.167},
};

TEST(Mp3DecoderTest, DecodesToTheLengthOfTheSpeech) {
    for (const Fixture& f : kFixtures) {
        SCOPED_TRACE(testing::Message() << f.name);
        std::vector<uint8_t> mp3 = ReadBytes(kData + L"/" + f.name);
        ASSERT_FALSE(mp3.empty());
        Pcm pcm = Decode(mp3);
        EXPECT_EQ(pcm.format.wFormatTag, WAVE_FORMAT_PCM);
        EXPECT_EQ(pcm.format.nSamplesPerSec, f.rate);
        EXPECT_EQ(pcm.format.nChannels, f.channels);
        EXPECT_EQ(pcm.format.wBitsPerSample, 16);
        EXPECT_NEAR(pcm.Seconds(), f.speechSeconds, f.speechSeconds * 0.05);
        EXPECT_GT(Loudness(pcm.bytes), 500.0);

        // A second pass starts again from the start and gives the same sound.
        auto decoder = Mp3Decoder::Open(mp3);
        ASSERT_TRUE(decoder);
        std::vector<uint8_t> first(pcm.bytes.size() + 4096), second(first.size());
        EXPECT_EQ(decoder->Read(first.data(), first.size()), pcm.bytes.size());
        decoder->Rewind();
        EXPECT_EQ(decoder->Read(second.data(), second.size()), pcm.bytes.size());
        EXPECT_EQ(first, second);
    }
}

class PlayerTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_GT(waveOutGetNumDevs(), 0u) << "no wave output device: run this program through ctest, which gives it one";
        // The first playback makes the system start the threads and handles of its sound
        // machinery, which then stay: the counts are taken after one.
        PlayMp3(1, Narrow(kData + L"/speech-44k-stereo.mp3"));
        ASSERT_TRUE(WaitUntilQuiet());
        StopMp3();
        // GoogleTest starts a thread of its own the first time a test keeps a trace; so that it is
        // not taken for the player's, it is started before the count.
        SCOPED_TRACE("");
        threads_ = OwnThreadCount();
        handles_ = HandleCount();
    }
    void TearDown() override { StopMp3(); }

    std::wstring Temp(const std::wstring& name) const { return temp_.Wide() + L"\\" + name; }

    TempFolder temp_;
    int threads_ = 0;
    int handles_ = 0;
};

TEST_F(PlayerTest, PlaysTheWholeFileToTheDevice) {
    for (const Fixture& f : kFixtures) {
        SCOPED_TRACE(testing::Message() << f.name);
        const std::wstring file = kData + L"/" + f.name;
        Pcm pcm = Decode(ReadBytes(file));
        DeleteFileW(kCapture.c_str());
        const auto start = Clock::now();
        PlayMp3(1, Narrow(file));
        EXPECT_LT(Clock::now() - start, 500ms) << "PlayMp3 returns at once";
        EXPECT_TRUE(Mp3Playing());
        ASSERT_TRUE(WaitUntilQuiet());
        std::vector<uint8_t> played = ReadBytes(kCapture);
        EXPECT_NEAR(static_cast<double>(played.size()) / pcm.format.nAvgBytesPerSec, f.speechSeconds, f.speechSeconds * 0.05);
        EXPECT_GT(Loudness(played), 500.0);
        EXPECT_TRUE(played == pcm.bytes) << "the device got other sound than the file holds";
        EXPECT_EQ(OwnThreadsSettledAt(threads_), threads_) << "the playback's thread ends with the sound";
    }
}

TEST_F(PlayerTest, PlaysTheFileTimesInARow) {
    const std::wstring file = kData + L"/speech-22k-mono-id3.mp3";
    Pcm pcm = Decode(ReadBytes(file));
    DeleteFileW(kCapture.c_str());
    PlayMp3(3, Narrow(file));
    ASSERT_TRUE(WaitUntilQuiet());
    std::vector<uint8_t> thrice;
    for (int i = 0; i < 3; i++) thrice.insert(thrice.end(), pcm.bytes.begin(), pcm.bytes.end());
    EXPECT_TRUE(ReadBytes(kCapture) == thrice);

    PlayMp3(0, Narrow(file));
    EXPECT_FALSE(Mp3Playing());
}

TEST_F(PlayerTest, ANewCallOrShutDownStopsThePlaybackAtOnce) {
    const std::wstring longFile = Temp(L"long.mp3");
    std::vector<uint8_t> mp3 = ReadBytes(kData + L"/speech-22k-mono-id3.mp3");
    WriteBytes(longFile, Repeated(mp3, 20));  // a minute of speech
    const size_t wholeLong = Decode(ReadBytes(longFile)).bytes.size();
    const std::wstring shortFile = kData + L"/speech-44k-stereo.mp3";

    enum class Stop { PlayMissing, PlayAnother, ShutDown };
    for (Stop how : {Stop::PlayMissing, Stop::PlayAnother, Stop::ShutDown}) {
        SCOPED_TRACE(static_cast<int>(how));
        PlayMp3(1, Narrow(longFile));
        Sleep(300);
        ASSERT_TRUE(Mp3Playing()) << "the long speech should still be playing";

        const auto start = Clock::now();
        if (how == Stop::PlayMissing) PlayMp3(1, Narrow(Temp(L"missing.mp3")));
        if (how == Stop::PlayAnother) PlayMp3(1, Narrow(shortFile));
        if (how == Stop::ShutDown) StopPlayback();
        EXPECT_LT(Clock::now() - start, 300ms);

        if (how == Stop::PlayAnother) {
            // The new file plays from its start on a device opened afresh.
            EXPECT_EQ(OwnThreadCount(), threads_ + 1);
            ASSERT_TRUE(WaitUntilQuiet());
            EXPECT_TRUE(ReadBytes(kCapture) == Decode(ReadBytes(shortFile)).bytes);
        } else {
            EXPECT_FALSE(Mp3Playing());
            EXPECT_EQ(OwnThreadCount(), threads_) << "the stopped playback's thread is gone";
            const size_t played = ReadBytes(kCapture).size();
            EXPECT_GT(played, 0u);
            EXPECT_LT(played, wholeLong / 2) << "the long speech was cut short";
            Sleep(200);
            EXPECT_EQ(ReadBytes(kCapture).size(), played) << "nothing more reaches the device";
        }
    }
}

TEST_F(PlayerTest, WhatIsNotAnMp3FilePlaysNothingAndLeavesNoThread) {
    std::vector<uint8_t> mp3 = ReadBytes(kData + L"/speech-22k-mono-id3.mp3");
    const std::wstring longFile = Temp(L"long.mp3");
    WriteBytes(longFile, Repeated(mp3, 20));
    WriteBytes(Temp(L"empty.mp3"), {});
    WriteBytes(Temp(L"truncated.mp3"), std::vector<uint8_t>(mp3.begin(), mp3.end() - 50));
    WriteBytes(Temp(L"text.mp3"), std::vector<uint8_t>(4000, 'a'));
    WriteBytes(Temp(L"tag-only.mp3"), std::vector<uint8_t>(mp3.begin(), mp3.begin() + static_cast<long>(Id3v2TagSize(mp3.data(), mp3.size()))));
    std::vector<uint8_t> wav = {'R', 'I', 'F', 'F', 36, 0, 0, 0, 'W', 'A', 'V', 'E'};
    wav.resize(4000, 0);
    WriteBytes(Temp(L"wave.mp3"), wav);

    const Text names[] = {
        Narrow(Temp(L"missing.mp3")), Narrow(Temp(L"empty.mp3")), Narrow(Temp(L"truncated.mp3")), Narrow(Temp(L"text.mp3")),
        Narrow(Temp(L"tag-only.mp3")), Narrow(Temp(L"wave.mp3")), temp_.Path(), Text(), Text(""),
        "\xC9\xFA\xB3\xC9\xCD\xEA\xB1\xCF\xA3\xA1\r\n\r\nMorvast www.morvast.example",  // 生成完毕！ and the publisher line
        "\x81",  // half a double-byte character
    };
    for (const Text& name : names) {
        SCOPED_TRACE(name.Str());
        PlayMp3(1, Narrow(longFile));
        Sleep(150);
        PlayMp3(1, name);
        EXPECT_FALSE(Mp3Playing());
        EXPECT_EQ(OwnThreadCount(), threads_);
        const size_t played = ReadBytes(kCapture).size();
        EXPECT_GT(played, 0u) << "a new device would have emptied the capture";
        Sleep(100);
        EXPECT_EQ(ReadBytes(kCapture).size(), played);
    }
}

TEST_F(PlayerTest, ARelativeNameIsFoundInTheCurrentDirectory) {
    const std::wstring file = kData + L"/speech-44k-stereo.mp3";
    // 语音.mp3: a Chinese name, reaching the system through the 936 conversion.
    WriteBytes(Temp(L"\u8BED\u97F3.mp3"), ReadBytes(file));
    wchar_t previous[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, previous);
    ASSERT_TRUE(SetCurrentDirectoryW(temp_.Wide().c_str()));
    DeleteFileW(kCapture.c_str());
    PlayMp3(1, "\xD3\xEF\xD2\xF4.mp3");
    bool quiet = WaitUntilQuiet();
    SetCurrentDirectoryW(previous);
    ASSERT_TRUE(quiet);
    EXPECT_TRUE(ReadBytes(kCapture) == Decode(ReadBytes(file)).bytes);
}

TEST_F(PlayerTest, RapidRestartsLeakNoHandlesNorThreads) {
    const std::wstring longFile = Temp(L"long.mp3");
    WriteBytes(longFile, Repeated(ReadBytes(kData + L"/speech-22k-mono-id3.mp3"), 20));
    const Text name = Narrow(longFile);
    for (int i = 0; i < 2000; i++) {
        PlayMp3(1, name);
        // Now and then the playback gets as far as the device before the next call stops it.
        if (i % 100 == 0) Sleep(60);
    }
    EXPECT_TRUE(Mp3Playing());
    EXPECT_EQ(OwnThreadCount(), threads_ + 1);
    StopMp3();
    EXPECT_EQ(OwnThreadCount(), threads_);
    EXPECT_LE(HandleCount(), handles_ + 2);  // a leak of one a restart would show as thousands
}

}  // namespace
