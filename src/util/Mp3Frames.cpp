#include "util/Mp3Frames.h"

namespace {

// Kbit/s by bit-rate index, layer III: MPEG 1, then MPEG 2 and 2.5.
constexpr int kBitrates[2][16] = {
    {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0},
    {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0},
};
constexpr int kSampleRates[3] = {44100, 48000, 32000};

}  // namespace

bool ParseMp3FrameHeader(const uint8_t* p, size_t available, Mp3FrameHeader& h) {
    if (available < 4 || p[0] != 0xFF || (p[1] & 0xE0) != 0xE0) return false;
    int versionBits = (p[1] >> 3) & 3;   // 0: 2.5, 1: reserved, 2: 2, 3: 1
    int layerBits = (p[1] >> 1) & 3;     // 1: layer III
    int bitrateIndex = p[2] >> 4;
    int rateIndex = (p[2] >> 2) & 3;
    if (versionBits == 1 || layerBits != 1 || bitrateIndex == 0 || bitrateIndex == 15 || rateIndex == 3) return false;
    h.version = versionBits == 3 ? 1 : (versionBits == 2 ? 2 : 25);
    bool mpeg1 = h.version == 1;
    h.bitrateKbps = kBitrates[mpeg1 ? 0 : 1][bitrateIndex];
    h.sampleRate = kSampleRates[rateIndex] / (mpeg1 ? 1 : (h.version == 2 ? 2 : 4));
    h.padding = (p[2] >> 1) & 1;
    h.channels = (p[3] >> 6) == 3 ? 1 : 2;
    h.samplesPerFrame = mpeg1 ? 1152 : 576;
    h.frameLength = static_cast<size_t>((mpeg1 ? 144 : 72) * h.bitrateKbps * 1000 / h.sampleRate) + (h.padding ? 1 : 0);
    return true;
}

size_t Id3v2TagSize(const uint8_t* data, size_t size) {
    if (size < 10 || data[0] != 'I' || data[1] != 'D' || data[2] != '3') return 0;
    if ((data[6] | data[7] | data[8] | data[9]) & 0x80) return 0;  // sizes are seven bits a byte
    size_t body = static_cast<size_t>(data[6]) << 21 | static_cast<size_t>(data[7]) << 14 |
                  static_cast<size_t>(data[8]) << 7 | data[9];
    size_t footer = (data[5] & 0x10) ? 10 : 0;
    return 10 + body + footer;
}

bool WalkMp3Frames(const uint8_t* data, size_t size, std::vector<Mp3Frame>* frames) {
    size_t end = size;
    if (end >= 128 && data[end - 128] == 'T' && data[end - 127] == 'A' && data[end - 126] == 'G') end -= 128;
    size_t pos = Id3v2TagSize(data, size);
    if (pos > end) return false;
    Mp3FrameHeader first;
    size_t count = 0;
    while (pos < end) {
        Mp3FrameHeader h;
        if (!ParseMp3FrameHeader(data + pos, end - pos, h) || h.frameLength > end - pos) return false;
        if (count > 0 && (h.version != first.version || h.sampleRate != first.sampleRate || h.channels != first.channels)) {
            return false;
        }
        if (count++ == 0) first = h;
        if (frames) frames->push_back({pos, h});
        pos += h.frameLength;
    }
    return count > 0;
}
