// Walking the frames of an MP3 file: an optional ID3v2 tag, then MPEG audio (layer III) frames, and
// an optional ID3v1 tag at the very end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct Mp3FrameHeader {
    int version = 0;          // 1, 2 or 25 (MPEG 2.5)
    int bitrateKbps = 0;
    int sampleRate = 0;
    int channels = 0;
    bool padding = false;
    size_t frameLength = 0;   // bytes, header included
    int samplesPerFrame = 0;
};

// Reads the four header bytes at p; false when they are not a layer III frame header this program
// can use (free bit rate and reserved values are refused).
bool ParseMp3FrameHeader(const uint8_t* p, size_t available, Mp3FrameHeader& header);

// Size of the ID3v2 tag at the start of the data, footer included; 0 when there is none.
size_t Id3v2TagSize(const uint8_t* data, size_t size);

struct Mp3Frame {
    size_t offset = 0;
    Mp3FrameHeader header;
};

// The frames of the file when it is whole MP3 audio: at least one frame, frames back to back up to
// the end (or up to an ID3v1 tag that ends the file), every frame complete and of the same version,
// sample rate and channel count. Otherwise false.
bool WalkMp3Frames(const uint8_t* data, size_t size, std::vector<Mp3Frame>* frames);
inline bool IsWholeMp3(const uint8_t* data, size_t size) { return WalkMp3Frames(data, size, nullptr); }
