#pragma once

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <string>
#include <variant>
#include <vector>

struct Options {
  std::string listen = "127.0.0.1";
  int port = 80;  // 0: any free port, reported when listening
  std::filesystem::path audioFolder;
  std::chrono::seconds maxAge{600};
  size_t maxChars = 500;
  bool help = false;
};

struct OptionsError {
  std::string message;
};

std::variant<Options, OptionsError> ParseOptions(const std::vector<std::string>& args);
extern const char* const kUsage;
