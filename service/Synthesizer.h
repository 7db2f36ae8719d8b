#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct Pcm {
  int sampleRate = 0;
  std::vector<int16_t> samples;  // mono
};

// The process's one espeak-ng engine. espeak-ng keeps global state and is not thread-safe, so
// every call holds the engine's lock; the engine is shut down with the last owner.
class Synthesizer {
 public:
  static std::unique_ptr<Synthesizer> Open(std::string& error);
  ~Synthesizer();
  Synthesizer(const Synthesizer&) = delete;
  Synthesizer& operator=(const Synthesizer&) = delete;

  bool HasVoice(std::string_view voice);
  // nullopt when the voice cannot be selected or the engine reports a failure.
  std::optional<Pcm> Speak(std::string_view utf8Text, std::string_view voice, int wordsPerMinute);
  // The engine's phoneme mnemonics for the text, clauses separated by spaces.
  std::string Phonemes(std::string_view utf8Text, std::string_view voice);

 private:
  explicit Synthesizer(int sampleRate) : sampleRate_(sampleRate) {}
  bool SelectVoice(std::string_view voice);

  std::mutex lock_;
  const int sampleRate_;
};
