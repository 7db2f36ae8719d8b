#pragma once

#include <optional>
#include <string_view>

struct MpegAudio {
  int frames = 0;
  int sampleRate = 0;
  double seconds = 0;
};

// Whole MPEG audio: an optional ID3v2 tag, then Layer III frames each complete, up to the end or
// an ID3v1 tag. nullopt otherwise.
std::optional<MpegAudio> ReadMpegAudio(std::string_view bytes);

// Samples the LAME decoder gets out of the bytes (mono or left channel); -1 if it rejects them.
long DecodedSamples(std::string_view bytes);
