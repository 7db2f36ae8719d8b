#include <httplib.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "Mp3Check.h"
#include "ServiceProcess.h"

namespace fs = std::filesystem;

namespace {

const std::string kPath = "/bin/makeColorPlusGuest.jsp";
const std::string kLeft = "Products/MediaPlayer/' src='";
const std::string kRight = "' width='0' height='0' autostart";

// As the client sends it: every byte but ASCII letters and digits as upper-case %XX.
std::string EncodeLikeClient(std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if ((byte >= '0' && byte <= '9') || (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z')) {
      out += c;
    } else {
      out += '%';
      out += kHex[byte >> 4];
      out += kHex[byte & 0xF];
    }
  }
  return out;
}

std::string SpeechTarget(std::string_view text) { return kPath + "?sex=201&speed=0&ment=" + EncodeLikeClient(text); }

// As the client cuts it: between the first occurrences of the two markers; "" if either is missing.
std::string CutAddress(const std::string& page) {
  const size_t a = page.find(kLeft);
  const size_t b = page.find(kRight);
  if (a == std::string::npos || b == std::string::npos || b < a + kLeft.size()) return "";
  return page.substr(a + kLeft.size(), b - a - kLeft.size());
}

struct Fetched {
  int status = 0;
  std::string contentType;
  std::string body;
};

Fetched Get(int port, const std::string& target, const httplib::Headers& headers = {}) {
  httplib::Client client("127.0.0.1", port);
  client.set_read_timeout(20, 0);
  const auto result = client.Get(target.c_str(), headers);
  if (!result) return {};
  return {result->status, result->get_header_value("Content-Type"), result->body};
}

// Asks for speech and downloads the audio the page points to; fails the test on the way if needed.
std::string SpeakAndDownload(int port, std::string_view text, std::string* address = nullptr) {
  const Fetched page = Get(port, SpeechTarget(text));
  EXPECT_EQ(page.status, 200) << page.body;
  EXPECT_EQ(page.contentType, "text/html; charset=utf-8");
  const std::string cut = CutAddress(page.body);
  const std::string prefix = "http://127.0.0.1:" + std::to_string(port);
  EXPECT_TRUE(cut.starts_with(prefix + "/audio/")) << page.body;
  if (address) *address = cut;
  if (!cut.starts_with(prefix)) return "";
  const Fetched audio = Get(port, cut.substr(prefix.size()));
  EXPECT_EQ(audio.status, 200);
  EXPECT_EQ(audio.contentType, "audio/mpeg");
  return audio.body;
}

TEST(Service, ChineseTextBecomesAWholeMp3AtTheAddressOfThePage) {
  ServiceProcess service;
  ASSERT_TRUE(service.Started());
  const std::string mp3 = SpeakAndDownload(service.Port(), "你好，世界");
  ASSERT_FALSE(mp3.empty());
  EXPECT_EQ(static_cast<unsigned char>(mp3[0]), 0xFF);
  const auto audio = ReadMpegAudio(mp3);
  ASSERT_TRUE(audio);
  EXPECT_GT(audio->seconds, 0.5);
  EXPECT_GT(DecodedSamples(mp3), audio->sampleRate / 2);
}

TEST(Service, AddressUsesTheHostTheClientAskedFor) {
  ServiceProcess service;
  ASSERT_TRUE(service.Started());
  const std::string port = std::to_string(service.Port());
  // Through the mapped name on port 80 the client sends just the name; the port must be added
  // back, as this service is not on 80.
  const Fetched page = Get(service.Port(), SpeechTarget("好"), {{"Host", "tts.morvast.example"}});
  EXPECT_TRUE(CutAddress(page.body).starts_with("http://tts.morvast.example:" + port + "/audio/")) << page.body;
  const Fetched named = Get(service.Port(), SpeechTarget("好"), {{"Host", "tts.morvast.example:" + port}});
  EXPECT_TRUE(CutAddress(named.body).starts_with("http://tts.morvast.example:" + port + "/audio/")) << named.body;
}

TEST(Service, BadRequestsGetAClearErrorPageAndTheServiceLivesOn) {
  ServiceProcess service({"--max-chars", "20"});
  ASSERT_TRUE(service.Started());
  const std::string q = kPath + "?";
  struct Case {
    std::string target;
    int status;
    std::string says;
  };
  const Case cases[] = {
      {q + "sex=201&speed=0&ment=%E4%BD", 400, "not valid UTF-8"},
      {q + "sex=201&speed=0&ment=%E4%BD%A", 400, "not properly percent-encoded"},
      {q + "sex=201&speed=0&ment=%ZZ", 400, "not properly percent-encoded"},
      {q + "sex=201&speed=0&ment=" + EncodeLikeClient(std::string(21, 'a')), 400, "at most 20"},
      {q + "sex=202&speed=0&ment=a", 400, "Unknown value of &#39;sex&#39;"},
      {q + "sex=201&speed=9&ment=a", 400, "Unknown value of &#39;speed&#39;"},
      {q + "sex=201&speed=0&ment=", 400, "empty"},
      {q + "sex=201&speed=0&ment=%20%E3%80%80", 400, "empty"},
      {q + "sex=201&speed=0", 400, "Missing parameter &#39;ment&#39;"},
      {kPath, 400, "Missing parameter &#39;sex&#39;"},
      {"/", 404, "nothing at this address"},
      {"/bin/other.jsp?sex=201&speed=0&ment=a", 404, "nothing at this address"},
      {"/audio/0123456789abcdef0123456789abcdef.mp3", 404, "does not exist or has expired"},
      {"/audio/..%2F..%2Fetc%2Fpasswd", 404, "nothing at this address"},
  };
  for (const Case& c : cases) {
    const Fetched answer = Get(service.Port(), c.target);
    EXPECT_EQ(answer.status, c.status) << c.target;
    EXPECT_EQ(answer.contentType, "text/html; charset=utf-8") << c.target;
    EXPECT_NE(answer.body.find(c.says), std::string::npos) << c.target << "\n" << answer.body;
    EXPECT_EQ(CutAddress(answer.body), "") << c.target;
  }

  // What a library client would not send.
  const std::string good = SpeechTarget("好");
  const std::string noHost = ExchangeRaw(service.Port(), "GET " + good + " HTTP/1.0\r\n\r\n");
  EXPECT_TRUE(noHost.starts_with("HTTP/1.1 400")) << noHost;
  EXPECT_NE(noHost.find("no usable Host header"), std::string::npos);
  const std::string badHost = ExchangeRaw(service.Port(), "GET " + good + " HTTP/1.1\r\nHost: x'><script>\r\n"
                                                         "Connection: close\r\n\r\n");
  EXPECT_TRUE(badHost.starts_with("HTTP/1.1 400")) << badHost;
  EXPECT_EQ(badHost.find("<script>"), std::string::npos);
  const std::string post = ExchangeRaw(service.Port(), "POST " + good + " HTTP/1.1\r\nHost: a\r\n"
                                                     "Content-Length: 0\r\n\r\n");
  EXPECT_TRUE(post.starts_with("HTTP/1.1 405")) << post;
  EXPECT_NE(post.find("only answers GET"), std::string::npos);
  const std::string garbage = ExchangeRaw(service.Port(), "\x01\x02 nonsense\r\n\r\n");
  EXPECT_TRUE(garbage.starts_with("HTTP/1.1 400")) << garbage;
  const std::string tooLong = ExchangeRaw(service.Port(), "GET " + good + std::string(9000, 'a') +
                                                              " HTTP/1.1\r\nHost: a\r\nConnection: close\r\n\r\n");
  EXPECT_TRUE(tooLong.starts_with("HTTP/1.1 414")) << tooLong.substr(0, 200);

  EXPECT_TRUE(ReadMpegAudio(SpeakAndDownload(service.Port(), "还在")));
  EXPECT_TRUE(WIFEXITED(service.StopWith(SIGTERM)));
}

TEST(Service, TwentyParallelRequestsGetDistinctWholeMp3s) {
  ServiceProcess service;
  ASSERT_TRUE(service.Started());
  constexpr int kCount = 20;
  // Texts of one to four sentences, each length five times: equal texts must still get separate
  // audio, and each answer must carry the audio of its own text, which its length shows.
  auto sentences = [](int i) { return 1 + i % 4; };
  std::vector<std::string> addresses(kCount), mp3s(kCount);
  std::vector<std::thread> clients;
  for (int i = 0; i < kCount; ++i) {
    clients.emplace_back([&, i] {
      std::string text;
      for (int s = 0; s < sentences(i); ++s) text += "今天天气很好。";
      mp3s[i] = SpeakAndDownload(service.Port(), text, &addresses[i]);
    });
  }
  for (std::thread& client : clients) client.join();

  EXPECT_EQ(std::set<std::string>(addresses.begin(), addresses.end()).size(), static_cast<size_t>(kCount));
  std::vector<double> seconds(kCount);
  for (int i = 0; i < kCount; ++i) {
    const auto audio = ReadMpegAudio(mp3s[i]);
    ASSERT_TRUE(audio) << i;
    EXPECT_GT(DecodedSamples(mp3s[i]), audio->sampleRate / 2) << i;
    seconds[i] = audio->seconds;
  }
  for (int i = 0; i < kCount; ++i) {
    for (int j = 0; j < kCount; ++j) {
      if (sentences(i) < sentences(j)) {
        EXPECT_LT(seconds[i], seconds[j]) << i << " " << j;
      }
    }
  }
  const auto files = std::distance(fs::directory_iterator(service.AudioFolder()), fs::directory_iterator());
  EXPECT_EQ(files, kCount);
}

TEST(Service, CleanupRemovesOldAudioOnly) {
  const fs::path folder = fs::temp_directory_path() / ("speechd-cleanup-" + std::to_string(getpid()));
  fs::create_directories(folder);
  const fs::path stale = folder / "00000000000000000000000000000000.mp3";
  const fs::path foreign = folder / "keep.txt";
  for (const fs::path& path : {stale, foreign}) {
    std::ofstream(path) << "x";
    fs::last_write_time(path, fs::file_time_type::clock::now() - std::chrono::hours(1));
  }
  {
    ServiceProcess service({"--max-age-seconds", "2"}, folder);
    ASSERT_TRUE(service.Started());
    std::string address;
    ASSERT_TRUE(ReadMpegAudio(SpeakAndDownload(service.Port(), "你好", &address)));
    const std::string target = address.substr(address.find("/audio/"));

    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(8);
    while (std::chrono::steady_clock::now() < deadline && Get(service.Port(), target).status == 200) {
      std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    EXPECT_EQ(Get(service.Port(), target).status, 404);
    EXPECT_FALSE(fs::exists(stale));
    EXPECT_TRUE(fs::exists(foreign));
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
  }
  fs::remove_all(folder);
}

TEST(Service, StopsCleanlyOnSigintAndSigterm) {
  for (const int signalNumber : {SIGINT, SIGTERM}) {
    ServiceProcess service;
    ASSERT_TRUE(service.Started());
    const int status = service.StopWith(signalNumber);
    ASSERT_TRUE(WIFEXITED(status)) << signalNumber;
    EXPECT_EQ(WEXITSTATUS(status), 0) << signalNumber;
  }
}

TEST(Service, RefusesToStartWithoutAFolderOrAPort) {
  const int badFlags = RunServiceToEnd({"--port", "0"});
  ASSERT_TRUE(WIFEXITED(badFlags));
  EXPECT_EQ(WEXITSTATUS(badFlags), 2);

  ServiceProcess first;
  ASSERT_TRUE(first.Started());
  const fs::path folder = first.AudioFolder() / "second";
  const int taken = RunServiceToEnd({"--listen", "127.0.0.1", "--port", std::to_string(first.Port()), "--audio-dir",
                                     folder.string()});
  ASSERT_TRUE(WIFEXITED(taken));
  EXPECT_EQ(WEXITSTATUS(taken), 1);

  const fs::path file = first.AudioFolder() / "a-file";
  std::ofstream(file) << "x";
  const int notAFolder = RunServiceToEnd({"--port", "0", "--audio-dir", file.string()});
  ASSERT_TRUE(WIFEXITED(notAFolder));
  EXPECT_EQ(WEXITSTATUS(notAFolder), 1);
}

}  // namespace
