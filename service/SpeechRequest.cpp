#include "SpeechRequest.h"

#include <array>
#include <optional>

#include "PercentDecode.h"
#include "Utf8.h"

namespace {

// The client only ever asks for sex=201 and speed=0; a value we do not know is refused rather
// than guessed, so a new client value shows up as an error instead of the wrong voice.
struct Voice {
  std::string_view sex;
  std::string_view name;
};
constexpr std::array kVoices{Voice{"201", "cmn-latn-pinyin"}};  // Mandarin; "cmn" reads Hanzi as English

struct Speed {
  std::string_view speed;
  int wordsPerMinute;
};
constexpr std::array kSpeeds{Speed{"0", 175}};

struct Field {
  std::string_view name;
  std::optional<std::string_view> value;
  bool repeated = false;
};

void Collect(std::string_view rawQuery, std::array<Field, 3>& fields) {
  while (!rawQuery.empty()) {
    const size_t amp = rawQuery.find('&');
    const std::string_view pair = rawQuery.substr(0, amp);
    rawQuery = amp == std::string_view::npos ? std::string_view{} : rawQuery.substr(amp + 1);
    const size_t eq = pair.find('=');
    const std::string_view key = pair.substr(0, eq);
    const std::string_view value = eq == std::string_view::npos ? std::string_view{} : pair.substr(eq + 1);
    for (Field& field : fields) {
      if (field.name != key) continue;
      if (field.value) field.repeated = true;
      field.value = value;
    }
  }
}

bool IsBlank(std::string_view text) {
  constexpr std::string_view kIdeographicSpace = "\xE3\x80\x80";  // U+3000
  size_t i = 0;
  while (i < text.size()) {
    if (text.substr(i, kIdeographicSpace.size()) == kIdeographicSpace) {
      i += kIdeographicSpace.size();
    } else if (text[i] == ' ' || text[i] == '\t' || text[i] == '\r' || text[i] == '\n') {
      ++i;
    } else {
      return false;
    }
  }
  return true;
}

}  // namespace

std::variant<SpeechRequest, RequestError> ParseSpeechRequest(std::string_view rawQuery, size_t maxChars) {
  std::array<Field, 3> fields{Field{"sex", {}}, Field{"speed", {}}, Field{"ment", {}}};
  Collect(rawQuery, fields);
  for (const Field& field : fields) {
    if (!field.value) return RequestError{"Missing parameter '" + std::string(field.name) + "'."};
    if (field.repeated) return RequestError{"Parameter '" + std::string(field.name) + "' is given more than once."};
  }
  const auto& [sex, speed, ment] = fields;

  SpeechRequest request;
  const Voice* voice = nullptr;
  for (const Voice& candidate : kVoices) {
    if (candidate.sex == *sex.value) voice = &candidate;
  }
  if (!voice) return RequestError{"Unknown value of 'sex' (known: 201)."};
  request.voice = voice->name;

  const Speed* rate = nullptr;
  for (const Speed& candidate : kSpeeds) {
    if (candidate.speed == *speed.value) rate = &candidate;
  }
  if (!rate) return RequestError{"Unknown value of 'speed' (known: 0)."};
  request.wordsPerMinute = rate->wordsPerMinute;

  std::optional<std::string> text = PercentDecode(*ment.value);
  if (!text) return RequestError{"The text 'ment' is not properly percent-encoded."};
  const std::optional<size_t> chars = CountUtf8CodePoints(*text);
  if (!chars) return RequestError{"The text 'ment' is not valid UTF-8."};
  // The synthesizer reads up to the first NUL: refuse rather than speak half the text.
  if (text->find('\0') != std::string::npos) return RequestError{"The text 'ment' contains a NUL character."};
  if (IsBlank(*text)) return RequestError{"The text 'ment' is empty."};
  if (*chars > maxChars) {
    return RequestError{"The text 'ment' has " + std::to_string(*chars) + " characters; at most " +
                        std::to_string(maxChars) + " are allowed."};
  }
  request.text = std::move(*text);
  return request;
}

std::vector<std::string_view> KnownVoices() {
  std::vector<std::string_view> names;
  for (const Voice& voice : kVoices) names.push_back(voice.name);
  return names;
}
