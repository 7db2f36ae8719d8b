#include "Mp3Encoder.h"

#include <lame.h>

#include <algorithm>
#include <memory>
#include <mutex>
#include <vector>

namespace {

struct LameCloser {
  void operator()(lame_global_flags* flags) const { lame_close(flags); }
};
using Lame = std::unique_ptr<lame_global_flags, LameCloser>;

// LAME fills process-wide lookup tables the first time an encoder is set up, without a lock;
// setting up one encoder at a time keeps that safe while the encoding itself runs in parallel.
std::mutex setupLock;

constexpr int kKilobitsPerSecond = 48;
constexpr int kChunk = 8192;  // samples per call, keeps the output buffer small

Lame SetUp(int sampleRate) {
  std::lock_guard guard(setupLock);
  Lame lame(lame_init());
  if (!lame) return nullptr;
  lame_set_in_samplerate(lame.get(), sampleRate);
  lame_set_out_samplerate(lame.get(), sampleRate);
  lame_set_num_channels(lame.get(), 1);
  lame_set_mode(lame.get(), MONO);
  lame_set_VBR(lame.get(), vbr_off);
  lame_set_brate(lame.get(), kKilobitsPerSecond);
  lame_set_quality(lame.get(), 5);
  lame_set_bWriteVbrTag(lame.get(), 0);
  lame_set_write_id3tag_automatic(lame.get(), 0);
  if (lame_init_params(lame.get()) < 0) return nullptr;
  return lame;
}

}  // namespace

std::optional<std::string> EncodeMp3(const Pcm& pcm) {
  if (pcm.sampleRate <= 0) return std::nullopt;
  Lame lame = SetUp(pcm.sampleRate);
  if (!lame) return std::nullopt;

  std::string mp3;
  // LAME's documented worst case for one call: 1.25 * samples + 7200 bytes.
  std::vector<unsigned char> buffer(kChunk * 5 / 4 + 7200);
  const auto capacity = static_cast<int>(buffer.size());
  for (size_t done = 0; done < pcm.samples.size(); done += kChunk) {
    const int count = static_cast<int>(std::min<size_t>(kChunk, pcm.samples.size() - done));
    const short* samples = pcm.samples.data() + done;
    const int written = lame_encode_buffer(lame.get(), samples, samples, count, buffer.data(), capacity);
    if (written < 0) return std::nullopt;
    mp3.append(reinterpret_cast<const char*>(buffer.data()), static_cast<size_t>(written));
  }
  const int written = lame_encode_flush(lame.get(), buffer.data(), capacity);
  if (written < 0) return std::nullopt;
  mp3.append(reinterpret_cast<const char*>(buffer.data()), static_cast<size_t>(written));
  return mp3;
}
