#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <variant>

#include "Pages.h"
#include "PercentDecode.h"
#include "SpeechRequest.h"
#include "Utf8.h"

namespace {

TEST(PercentDecode, Table) {
  struct Case {
    std::string encoded;
    std::optional<std::string> decoded;
  };
  const Case cases[] = {
      {"", ""},
      {"abc09XYZ", "abc09XYZ"},
      {"%E4%BD%A0%E5%A5%BD", "你好"},
      {"%e4%bd%a0", "你"},  // lower-case hex too
      {"%20+%2B", "  +"},
      {"%00", std::string(1, '\0')},
      {"%FF%80", "\xFF\x80"},  // bytes only; UTF-8 is checked later
      {"a-b.c", "a-b.c"},
      {"%", std::nullopt},
      {"%4", std::nullopt},
      {"ab%4", std::nullopt},
      {"%G0", std::nullopt},
      {"%0G", std::nullopt},
      {"%%41", std::nullopt},
      {"%-1", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(PercentDecode(c.encoded), c.decoded) << c.encoded;
}

TEST(Utf8, CountsCodePointsOfWellFormedText) {
  EXPECT_EQ(CountUtf8CodePoints(""), 0u);
  EXPECT_EQ(CountUtf8CodePoints("abc"), 3u);
  EXPECT_EQ(CountUtf8CodePoints("你好，世界"), 5u);
  EXPECT_EQ(CountUtf8CodePoints("\xF0\x9F\x98\x80 \xC2\xA9"), 3u);       // U+1F600, space, U+00A9
  EXPECT_EQ(CountUtf8CodePoints("\xF4\x8F\xBF\xBF\xED\x9F\xBF"), 2u);    // U+10FFFF, U+D7FF
}

TEST(Utf8, RefusesMalformedText) {
  const char* const bad[] = {
      "\x80",              // stray continuation byte
      "\xC3",              // cut off
      "\xE4\xBD",          // cut off
      "\xE4\x41\xA0",      // continuation missing
      "\xC0\xAF",          // overlong '/'
      "\xE0\x80\xAF",      // overlong
      "\xF0\x80\x80\xAF",  // overlong
      "\xED\xA0\x80",      // surrogate U+D800
      "\xF4\x90\x80\x80",  // past U+10FFFF
      "\xF8\x88\x80\x80\x80",
      "\xFF",
  };
  for (const char* bytes : bad) EXPECT_EQ(CountUtf8CodePoints(bytes), std::nullopt) << bytes;
}

std::string Refusal(std::string_view query, size_t maxChars = 10) {
  const auto result = ParseSpeechRequest(query, maxChars);
  const auto* error = std::get_if<RequestError>(&result);
  return error ? error->message : "";
}

TEST(SpeechRequest, AcceptsTheClientsRequest) {
  const auto result = ParseSpeechRequest("sex=201&speed=0&ment=%E4%BD%A0%E5%A5%BD%EF%BC%8C%E4%B8%96%E7%95%8C", 5);
  ASSERT_TRUE(std::holds_alternative<SpeechRequest>(result)) << std::get<RequestError>(result).message;
  const auto& request = std::get<SpeechRequest>(result);
  EXPECT_EQ(request.text, "你好，世界");
  EXPECT_EQ(request.voice, "cmn-latn-pinyin");
  EXPECT_GT(request.wordsPerMinute, 0);
}

TEST(SpeechRequest, OrderAndUnknownParametersDoNotMatter) {
  const auto result = ParseSpeechRequest("x=1&ment=hi&&speed=0&sex=201&y", 10);
  ASSERT_TRUE(std::holds_alternative<SpeechRequest>(result));
  EXPECT_EQ(std::get<SpeechRequest>(result).text, "hi");
}

TEST(SpeechRequest, RefusesBadInputWithItsReason) {
  struct Case {
    std::string query;
    std::string reasonContains;
  };
  const Case cases[] = {
      {"", "Missing parameter 'sex'"},
      {"speed=0&ment=a", "Missing parameter 'sex'"},
      {"sex=201&ment=a", "Missing parameter 'speed'"},
      {"sex=201&speed=0", "Missing parameter 'ment'"},
      {"sex=201&speed=0&ment=a&ment=b", "'ment' is given more than once"},
      {"sex=201&sex=201&speed=0&ment=a", "'sex' is given more than once"},
      {"sex=200&speed=0&ment=a", "Unknown value of 'sex'"},
      {"sex=&speed=0&ment=a", "Unknown value of 'sex'"},
      {"sex=201&speed=1&ment=a", "Unknown value of 'speed'"},
      {"sex=201&speed=%30&ment=a", "Unknown value of 'speed'"},
      {"sex=201&speed=0&ment=%E4%BD", "not valid UTF-8"},
      {"sex=201&speed=0&ment=%C0%AF", "not valid UTF-8"},
      {"sex=201&speed=0&ment=%E4%BD%A", "not properly percent-encoded"},
      {"sex=201&speed=0&ment=100%", "not properly percent-encoded"},
      {"sex=201&speed=0&ment=a%00b", "NUL"},
      {"sex=201&speed=0&ment=", "empty"},
      {"sex=201&speed=0&ment", "empty"},
      {"sex=201&speed=0&ment=+%20%09%0D%0A%E3%80%80", "empty"},
      {"sex=201&speed=0&ment=12345678901", "has 11 characters; at most 10"},
  };
  for (const Case& c : cases) EXPECT_NE(Refusal(c.query).find(c.reasonContains), std::string::npos) << c.query;
}

TEST(SpeechRequest, LimitCountsCharactersNotBytes) {
  // Ten Hanzi are thirty bytes.
  const std::string tenHanzi = "%E4%BD%A0%E4%BD%A0%E4%BD%A0%E4%BD%A0%E4%BD%A0%E4%BD%A0%E4%BD%A0%E4%BD%A0%E4%BD%A0%E4%BD%A0";
  EXPECT_EQ(Refusal("sex=201&speed=0&ment=" + tenHanzi), "");
  EXPECT_NE(Refusal("sex=201&speed=0&ment=" + tenHanzi + "a"), "");
}

// What the client does with the page: the text between the first occurrences of the two markers.
std::string CutAddress(const std::string& page) {
  const std::string left = "Products/MediaPlayer/' src='";
  const size_t a = page.find(left);
  const size_t b = page.find("' width='0' height='0' autostart");
  if (a == std::string::npos || b == std::string::npos || b < a + left.size()) return "";
  return page.substr(a + left.size(), b - a - left.size());
}

TEST(Pages, MarkersFrameExactlyTheAddress) {
  const std::string address = "http://tts.morvast.example/audio/0123456789abcdef0123456789abcdef.mp3";
  EXPECT_EQ(CutAddress(AnswerPage(address)), address);
}

TEST(Pages, ErrorPageHasNoAddressAndEscapesItsMessage) {
  const std::string page = ErrorPage(400, "<b>'x' & \"y\"</b>");
  EXPECT_EQ(CutAddress(page), "");
  EXPECT_NE(page.find("&lt;b&gt;&#39;x&#39; &amp; &quot;y&quot;&lt;/b&gt;"), std::string::npos);
  EXPECT_NE(page.find("400"), std::string::npos);
}

TEST(Pages, AudioAddressFollowsTheHostTheClientUsed) {
  const std::string id = "0123456789abcdef0123456789abcdef";
  struct Case {
    std::string host;
    int port;
    std::optional<std::string> address;
  };
  const Case cases[] = {
      {"tts.morvast.example", 80, "http://tts.morvast.example/audio/" + id + ".mp3"},
      {"tts.morvast.example", 8080, "http://tts.morvast.example:8080/audio/" + id + ".mp3"},
      {"127.0.0.1:41234", 41234, "http://127.0.0.1:41234/audio/" + id + ".mp3"},
      {"localhost:9", 80, "http://localhost:9/audio/" + id + ".mp3"},
      {"[::1]:8080", 8080, "http://[::1]:8080/audio/" + id + ".mp3"},
      {"[::1]", 81, "http://[::1]:81/audio/" + id + ".mp3"},
      {"", 80, std::nullopt},
      {"a'b", 80, std::nullopt},  // would break out of the quoted address
      {"a b", 80, std::nullopt},
      {"host:", 80, std::nullopt},
      {"host:8x", 80, std::nullopt},
      {"host:123456", 80, std::nullopt},
      {":80", 80, std::nullopt},
      {"[::1", 80, std::nullopt},
      {"[]", 80, std::nullopt},
      {"[::1]x", 80, std::nullopt},
      {"[::1]:", 80, std::nullopt},
      {"[a'b]", 80, std::nullopt},
      {"user@host", 80, std::nullopt},
      {"host/path", 80, std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(AudioAddress(c.host, c.port, id), c.address) << c.host;
}

}  // namespace
