#pragma once

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

// Generated audio lives in one folder as <id>.mp3, id being 32 random lower-case hex digits: the
// address cannot be guessed, so one user cannot fetch another's text as audio.
std::string NewAudioId();
bool IsAudioId(std::string_view id);
std::filesystem::path AudioPath(const std::filesystem::path& folder, std::string_view id);

// Written under a temporary name and renamed, so a file is never served half-written.
bool SaveAudio(const std::filesystem::path& folder, std::string_view id, std::string_view bytes);
std::optional<std::string> LoadAudio(const std::filesystem::path& folder, std::string_view id);

// Removes this store's files (finished or not) last written before now - maxAge; any other file in
// the folder is left alone. Returns how many were removed.
size_t RemoveAudioOlderThan(const std::filesystem::path& folder, std::chrono::seconds maxAge);
