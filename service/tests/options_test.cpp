#include <gtest/gtest.h>

#include <string>
#include <variant>
#include <vector>

#include "Options.h"

namespace {

TEST(Options, ReadsEveryFlag) {
  const auto parsed = ParseOptions({"--listen", "0.0.0.0", "--port", "0", "--audio-dir", "/tmp/a", "--max-age-seconds",
                                    "30", "--max-chars", "100"});
  ASSERT_TRUE(std::holds_alternative<Options>(parsed)) << std::get<OptionsError>(parsed).message;
  const Options& options = std::get<Options>(parsed);
  EXPECT_EQ(options.listen, "0.0.0.0");
  EXPECT_EQ(options.port, 0);
  EXPECT_EQ(options.audioFolder, "/tmp/a");
  EXPECT_EQ(options.maxAge, std::chrono::seconds(30));
  EXPECT_EQ(options.maxChars, 100u);
}

TEST(Options, DefaultsBesideTheRequiredFolder) {
  const auto parsed = ParseOptions({"--audio-dir", "d"});
  ASSERT_TRUE(std::holds_alternative<Options>(parsed));
  const Options& options = std::get<Options>(parsed);
  EXPECT_EQ(options.listen, "127.0.0.1");
  EXPECT_EQ(options.port, 80);
  EXPECT_EQ(options.maxAge, std::chrono::seconds(600));
  EXPECT_EQ(options.maxChars, 500u);
}

TEST(Options, RefusesBadFlags) {
  const std::vector<std::vector<std::string>> bad = {
      {},
      {"--port", "80"},
      {"--audio-dir"},
      {"--audio-dir", ""},
      {"--audio-dir", "d", "--port", "65536"},
      {"--audio-dir", "d", "--port", "-1"},
      {"--audio-dir", "d", "--port", "8o"},
      {"--audio-dir", "d", "--port", ""},
      {"--audio-dir", "d", "--max-age-seconds", "0"},
      {"--audio-dir", "d", "--max-chars", "0"},
      {"--audio-dir", "d", "--max-chars", "801"},
      {"--audio-dir", "d", "--listen", ""},
      {"--audio-dir", "d", "--verbose", "1"},
      {"--audio-dir", "d", "stray"},
  };
  for (const auto& args : bad) {
    EXPECT_TRUE(std::holds_alternative<OptionsError>(ParseOptions(args))) << ::testing::PrintToString(args);
  }
}

}  // namespace
