#include "AudioSweeper.h"

#include <algorithm>

#include "AudioStore.h"

namespace {

// A file lives at most about maxAge plus a quarter of it, and never costs more than one folder
// scan a second.
std::chrono::milliseconds IntervalFor(std::chrono::seconds maxAge) {
  return std::clamp<std::chrono::milliseconds>(maxAge / 4, std::chrono::seconds(1), std::chrono::seconds(60));
}

}  // namespace

AudioSweeper::AudioSweeper(std::filesystem::path folder, std::chrono::seconds maxAge)
    : folder_(std::move(folder)), maxAge_(maxAge), interval_(IntervalFor(maxAge)), thread_([this] { Run(); }) {}

AudioSweeper::~AudioSweeper() {
  {
    std::lock_guard guard(lock_);
    stopping_ = true;
  }
  wake_.notify_all();
  thread_.join();
}

void AudioSweeper::Run() {
  std::unique_lock guard(lock_);
  while (!stopping_) {
    guard.unlock();
    RemoveAudioOlderThan(folder_, maxAge_);
    guard.lock();
    wake_.wait_for(guard, interval_, [this] { return stopping_; });
  }
}
