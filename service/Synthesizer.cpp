#include "Synthesizer.h"

#include <espeak-ng/speak_lib.h>

#include <atomic>

namespace {

std::atomic<bool> engineOpen{false};

int CollectSamples(short* wav, int count, espeak_EVENT* events) {
  auto* pcm = static_cast<Pcm*>(events->user_data);
  if (pcm && wav && count > 0) pcm->samples.insert(pcm->samples.end(), wav, wav + count);
  return 0;  // go on
}

}  // namespace

std::unique_ptr<Synthesizer> Synthesizer::Open(std::string& error) {
  if (engineOpen.exchange(true)) {
    error = "the speech engine is already open in this process";
    return nullptr;
  }
  // Without DONT_EXIT the library ends the whole process when its data is missing.
  const int rate = espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 0, nullptr, espeakINITIALIZE_DONT_EXIT);
  if (rate <= 0) {
    engineOpen = false;
    error = "espeak-ng could not start (is espeak-ng-data installed?)";
    return nullptr;
  }
  espeak_SetSynthCallback(CollectSamples);
  return std::unique_ptr<Synthesizer>(new Synthesizer(rate));
}

Synthesizer::~Synthesizer() {
  espeak_Terminate();
  engineOpen = false;
}

bool Synthesizer::SelectVoice(std::string_view voice) {
  return espeak_SetVoiceByName(std::string(voice).c_str()) == EE_OK;
}

bool Synthesizer::HasVoice(std::string_view voice) {
  std::lock_guard guard(lock_);
  return SelectVoice(voice);
}

std::optional<Pcm> Synthesizer::Speak(std::string_view utf8Text, std::string_view voice, int wordsPerMinute) {
  const std::string text(utf8Text);
  Pcm pcm;
  pcm.sampleRate = sampleRate_;
  std::lock_guard guard(lock_);
  if (!SelectVoice(voice)) return std::nullopt;
  if (espeak_SetParameter(espeakRATE, wordsPerMinute, 0) != EE_OK) return std::nullopt;
  if (espeak_Synth(text.c_str(), text.size() + 1, 0, POS_CHARACTER, 0, espeakCHARS_UTF8, nullptr, &pcm) != EE_OK) {
    return std::nullopt;
  }
  if (espeak_Synchronize() != EE_OK) return std::nullopt;
  return pcm;
}

std::string Synthesizer::Phonemes(std::string_view utf8Text, std::string_view voice) {
  const std::string text(utf8Text);
  std::string phonemes;
  std::lock_guard guard(lock_);
  if (!SelectVoice(voice)) return phonemes;
  const void* cursor = text.c_str();
  while (cursor) {
    const char* clause = espeak_TextToPhonemes(&cursor, espeakCHARS_UTF8, 0);
    if (!clause) break;
    if (!phonemes.empty()) phonemes += ' ';
    phonemes += clause;
  }
  return phonemes;
}
