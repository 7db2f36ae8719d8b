#include "AudioStore.h"

#include <cstdint>
#include <fstream>
#include <iterator>
#include <random>
#include <system_error>

namespace fs = std::filesystem;

namespace {

constexpr size_t kIdLength = 32;
constexpr std::string_view kAudioSuffix = ".mp3";
constexpr std::string_view kPartSuffix = ".mp3.part";

bool IsOurs(const std::string& name) {
  for (const std::string_view suffix : {kAudioSuffix, kPartSuffix}) {
    if (name.size() == kIdLength + suffix.size() && name.ends_with(suffix) &&
        IsAudioId(std::string_view(name).substr(0, kIdLength))) {
      return true;
    }
  }
  return false;
}

}  // namespace

std::string NewAudioId() {
  static constexpr char kHex[] = "0123456789abcdef";
  std::random_device entropy;
  std::string id;
  while (id.size() < kIdLength) {
    uint32_t bits = entropy();
    for (int nibble = 0; nibble < 8 && id.size() < kIdLength; ++nibble, bits >>= 4) id += kHex[bits & 0xF];
  }
  return id;
}

bool IsAudioId(std::string_view id) {
  if (id.size() != kIdLength) return false;
  for (const char c : id) {
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
  }
  return true;
}

fs::path AudioPath(const fs::path& folder, std::string_view id) {
  return folder / (std::string(id) + std::string(kAudioSuffix));
}

bool SaveAudio(const fs::path& folder, std::string_view id, std::string_view bytes) {
  const fs::path part = folder / (std::string(id) + std::string(kPartSuffix));
  {
    std::ofstream out(part, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
      std::error_code ignored;
      fs::remove(part, ignored);
      return false;
    }
  }
  std::error_code error;
  fs::rename(part, AudioPath(folder, id), error);
  if (error) {
    fs::remove(part, error);
    return false;
  }
  return true;
}

std::optional<std::string> LoadAudio(const fs::path& folder, std::string_view id) {
  if (!IsAudioId(id)) return std::nullopt;
  std::ifstream in(AudioPath(folder, id), std::ios::binary);
  if (!in) return std::nullopt;
  std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  if (in.bad()) return std::nullopt;
  return bytes;
}

size_t RemoveAudioOlderThan(const fs::path& folder, std::chrono::seconds maxAge) {
  const auto cutoff = fs::file_time_type::clock::now() - maxAge;
  size_t removed = 0;
  std::error_code error;
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    if (!IsOurs(it->path().filename().string())) continue;
    std::error_code fileError;
    if (!it->is_regular_file(fileError)) continue;
    const auto written = fs::last_write_time(it->path(), fileError);
    if (fileError || written >= cutoff) continue;
    if (fs::remove(it->path(), fileError)) ++removed;
  }
  return removed;
}
