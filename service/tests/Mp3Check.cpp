#include "Mp3Check.h"

#include <lame.h>

#include <vector>

namespace {

unsigned Byte(std::string_view bytes, size_t i) { return static_cast<unsigned char>(bytes[i]); }

}  // namespace

std::optional<MpegAudio> ReadMpegAudio(std::string_view bytes) {
  size_t at = 0;
  if (bytes.size() >= 10 && bytes.substr(0, 3) == "ID3") {
    const size_t size = (Byte(bytes, 6) << 21) | (Byte(bytes, 7) << 14) | (Byte(bytes, 8) << 7) | Byte(bytes, 9);
    at = 10 + size;
  }
  size_t end = bytes.size();
  if (end >= at + 128 && bytes.substr(end - 128, 3) == "TAG") end -= 128;

  static constexpr int kBitratesV1[] = {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320};
  static constexpr int kBitratesV2[] = {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160};
  static constexpr int kRatesV1[] = {44100, 48000, 32000};
  MpegAudio audio;
  double samples = 0;
  while (at < end) {
    if (end - at < 4) return std::nullopt;
    const unsigned b1 = Byte(bytes, at + 1), b2 = Byte(bytes, at + 2);
    if (Byte(bytes, at) != 0xFF || (b1 & 0xE0) != 0xE0) return std::nullopt;
    const unsigned version = (b1 >> 3) & 3;  // 3: MPEG-1, 2: MPEG-2, 0: MPEG-2.5
    const unsigned layer = (b1 >> 1) & 3;    // 1: Layer III
    const unsigned bitrateIndex = b2 >> 4, rateIndex = (b2 >> 2) & 3, padding = (b2 >> 1) & 1;
    if (version == 1 || layer != 1 || bitrateIndex == 0 || bitrateIndex == 15 || rateIndex == 3) return std::nullopt;
    const bool mpeg1 = version == 3;
    const int bitrate = (mpeg1 ? kBitratesV1 : kBitratesV2)[bitrateIndex] * 1000;
    const int rate = kRatesV1[rateIndex] / (mpeg1 ? 1 : version == 2 ? 2 : 4);
    const int frameSamples = mpeg1 ? 1152 : 576;
    const size_t length = static_cast<size_t>(frameSamples / 8 * bitrate / rate + static_cast<int>(padding));
    if (end - at < length) return std::nullopt;  // cut off
    if (audio.sampleRate != 0 && audio.sampleRate != rate) return std::nullopt;
    audio.sampleRate = rate;
    ++audio.frames;
    samples += frameSamples;
    at += length;
  }
  if (audio.frames == 0) return std::nullopt;
  audio.seconds = samples / audio.sampleRate;
  return audio;
}

long DecodedSamples(std::string_view bytes) {
  hip_t decoder = hip_decode_init();
  if (!decoder) return -1;
  std::vector<unsigned char> input(bytes.begin(), bytes.end());
  std::vector<short> left(1152 * 2), right(1152 * 2);
  long total = 0;
  // The first call takes all the input and gives at most one frame; calls with no more input give
  // the frames still buffered, one by one.
  size_t feed = input.size();
  for (;;) {
    const int got = hip_decode1(decoder, input.data(), feed, left.data(), right.data());
    if (got < 0) {
      total = -1;
      break;
    }
    if (got == 0 && feed == 0) break;
    total += got;
    feed = 0;
  }
  hip_decode_exit(decoder);
  return total;
}
