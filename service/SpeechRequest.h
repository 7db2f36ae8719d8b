#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

struct SpeechRequest {
  std::string text;   // UTF-8
  std::string voice;  // espeak-ng voice name
  int wordsPerMinute;
};

// Why a request is refused; the message is shown to the caller on a 400 page.
struct RequestError {
  std::string message;
};

// Reads the raw query of a speech request (sex, speed, ment; others are ignored).
std::variant<SpeechRequest, RequestError> ParseSpeechRequest(std::string_view rawQuery, size_t maxChars);

// Every espeak-ng voice a request can ask for, to check at start that they are installed.
std::vector<std::string_view> KnownVoices();
