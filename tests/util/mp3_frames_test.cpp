#include "util/Mp3Frames.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// A layer III frame of the given header bytes, filled to its length.
std::string Frame(uint8_t b1, uint8_t b2, uint8_t b3, size_t length) {
    std::string f(length, '\0');
    f[0] = '\xFF', f[1] = static_cast<char>(b1), f[2] = static_cast<char>(b2), f[3] = static_cast<char>(b3);
    return f;
}

const std::string kMpeg1 = Frame(0xFB, 0x90, 0x64, 417);        // 128 kbit/s, 44.1 kHz, stereo
const std::string kMpeg1Padded = Frame(0xFB, 0x92, 0x64, 418);  // the same with a padding byte
const std::string kMpeg2Mono = Frame(0xF3, 0x48, 0xC4, 144);     // 32 kbit/s, 16 kHz, mono
const std::string kId3v2 = std::string("ID3\x04\x00\x00\x00\x00\x00\x05", 10) + "abcde";
const std::string kId3v1 = "TAG" + std::string(125, ' ');

bool Whole(const std::string& s) { return IsWholeMp3(reinterpret_cast<const uint8_t*>(s.data()), s.size()); }

TEST(Mp3FramesTest, WholeFilesAreRecognised) {
    struct Case { const char* name; std::string data; bool whole; } cases[] = {
        {"frames", kMpeg1 + kMpeg1Padded + kMpeg1, true},
        {"MPEG 2 mono", kMpeg2Mono + kMpeg2Mono, true},
        {"ID3v2 first", kId3v2 + kMpeg1, true},
        {"ID3v1 at the end", kMpeg1 + kId3v1, true},
        {"both tags", kId3v2 + kMpeg1 + kId3v1, true},
        {"empty", "", false},
        {"tags only", kId3v2 + kId3v1, false},
        {"last frame cut", kMpeg1 + kMpeg1.substr(0, 400), false},
        {"bytes behind the last frame", kMpeg1 + "xyz", false},
        {"HTML page", "<html><body>404 Not Found</body></html>", false},
        {"sample rate changes", kMpeg1 + kMpeg2Mono, false},
        {"free bit rate", Frame(0xFB, 0x00, 0x64, 417), false},
        {"layer II", Frame(0xFD, 0x90, 0x64, 417), false},
        {"tag size past the end", std::string("ID3\x04\x00\x00\x00\x00\x7F\x7F", 10) + kMpeg1, false},
    };
    for (const auto& c : cases) EXPECT_EQ(Whole(c.data), c.whole) << c.name;
}

TEST(Mp3FramesTest, HeaderFields) {
    Mp3FrameHeader h;
    ASSERT_TRUE(ParseMp3FrameHeader(reinterpret_cast<const uint8_t*>(kMpeg2Mono.data()), 4, h));
    EXPECT_EQ(h.version, 2);
    EXPECT_EQ(h.sampleRate, 16000);
    EXPECT_EQ(h.channels, 1);
    EXPECT_EQ(h.samplesPerFrame, 576);
    EXPECT_EQ(h.frameLength, 144u);
    std::vector<Mp3Frame> frames;
    std::string file = kId3v2 + kMpeg1 + kMpeg1Padded;
    ASSERT_TRUE(WalkMp3Frames(reinterpret_cast<const uint8_t*>(file.data()), file.size(), &frames));
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(frames[0].offset, 15u);
    EXPECT_EQ(frames[1].offset, 15u + 417u);
    EXPECT_EQ(frames[1].header.frameLength, 418u);
}

}  // namespace
