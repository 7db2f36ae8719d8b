#include "Options.h"

#include <charconv>
#include <optional>

const char* const kUsage =
    "usage: tarvinel-speechd --audio-dir DIR [--listen ADDRESS] [--port N] [--max-age-seconds N] [--max-chars N]\n"
    "  --audio-dir DIR        folder for generated audio (created if missing)\n"
    "  --listen ADDRESS       address to listen on (default 127.0.0.1)\n"
    "  --port N               port to listen on, 0 for any free one (default 80)\n"
    "  --max-age-seconds N    audio older than this is removed (default 600)\n"
    "  --max-chars N          longest text accepted, in characters (default 500)\n";

namespace {

std::optional<long long> ParseNumber(const std::string& text, long long lowest, long long highest) {
  long long value = 0;
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value);
  if (error != std::errc{} || stop != end || value < lowest || value > highest) return std::nullopt;
  return value;
}

}  // namespace

std::variant<Options, OptionsError> ParseOptions(const std::vector<std::string>& args) {
  Options options;
  bool haveFolder = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& flag = args[i];
    if (flag == "--help" || flag == "-h") {
      options.help = true;
      return options;
    }
    if (i + 1 >= args.size()) return OptionsError{"unknown flag or missing value: " + flag};
    const std::string& value = args[++i];
    if (flag == "--listen") {
      if (value.empty()) return OptionsError{"--listen needs an address"};
      options.listen = value;
    } else if (flag == "--port") {
      const auto port = ParseNumber(value, 0, 65535);
      if (!port) return OptionsError{"--port needs a number from 0 to 65535"};
      options.port = static_cast<int>(*port);
    } else if (flag == "--audio-dir") {
      if (value.empty()) return OptionsError{"--audio-dir needs a folder"};
      options.audioFolder = value;
      haveFolder = true;
    } else if (flag == "--max-age-seconds") {
      const auto seconds = ParseNumber(value, 1, 366LL * 24 * 3600);
      if (!seconds) return OptionsError{"--max-age-seconds needs a number from 1 to 31622400"};
      options.maxAge = std::chrono::seconds(*seconds);
    } else if (flag == "--max-chars") {
      // Each Hanzi travels as 9 bytes of the request line, which the HTTP layer caps at 8192.
      const auto chars = ParseNumber(value, 1, 800);
      if (!chars) return OptionsError{"--max-chars needs a number from 1 to 800"};
      options.maxChars = static_cast<size_t>(*chars);
    } else {
      return OptionsError{"unknown flag: " + flag};
    }
  }
  if (!haveFolder) return OptionsError{"--audio-dir is required"};
  return options;
}
