#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <string>

#include "AudioStore.h"
#include "Mp3Check.h"
#include "Mp3Encoder.h"
#include "Synthesizer.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kMandarin = "cmn-latn-pinyin";

class SynthesizerTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    std::string error;
    engine = Synthesizer::Open(error);
    ASSERT_NE(engine, nullptr) << error;
  }
  static void TearDownTestSuite() { engine.reset(); }
  static std::unique_ptr<Synthesizer> engine;
};
std::unique_ptr<Synthesizer> SynthesizerTest::engine;

TEST_F(SynthesizerTest, ReadsHanziAsMandarin) {
  // 好 is hao, third tone (214). The plain cmn voice switches to English and spells the pinyin
  // out instead, which is the fault this guards against.
  const std::string mandarin = engine->Phonemes("你好", kMandarin);
  EXPECT_NE(mandarin.find("214"), std::string::npos) << mandarin;
  EXPECT_EQ(mandarin.find("(en)"), std::string::npos) << mandarin;
  const std::string spelled = engine->Phonemes("你好", "cmn");
  EXPECT_NE(spelled.find("(en)"), std::string::npos) << spelled;
  EXPECT_EQ(spelled.find("214"), std::string::npos) << spelled;
}

TEST_F(SynthesizerTest, UnknownVoiceFailsCleanly) {
  EXPECT_FALSE(engine->HasVoice("no-such-voice"));
  EXPECT_EQ(engine->Speak("你好", "no-such-voice", 175), std::nullopt);
  EXPECT_TRUE(engine->HasVoice(kMandarin));
}

TEST_F(SynthesizerTest, SpeechBecomesWholeMp3OfTheSameLength) {
  const auto pcm = engine->Speak("你好，世界", kMandarin, 175);
  ASSERT_TRUE(pcm);
  const double spoken = static_cast<double>(pcm->samples.size()) / pcm->sampleRate;
  EXPECT_GT(spoken, 0.5);

  const auto mp3 = EncodeMp3(*pcm);
  ASSERT_TRUE(mp3);
  ASSERT_GE(mp3->size(), 2u);
  EXPECT_EQ(static_cast<unsigned char>((*mp3)[0]), 0xFF);  // a frame from the first byte
  const auto audio = ReadMpegAudio(*mp3);
  ASSERT_TRUE(audio);
  EXPECT_EQ(audio->sampleRate, pcm->sampleRate);
  EXPECT_GE(audio->seconds, spoken);
  EXPECT_LT(audio->seconds, spoken + 0.2);  // encoder delay and padding only
  EXPECT_GT(DecodedSamples(*mp3), static_cast<long>(pcm->samples.size()) / 2);
}

TEST_F(SynthesizerTest, OddTextStillGivesAudio) {
  const std::string texts[] = {
      "\xF0\x9F\x98\x80\xF0\x9F\x8E\x89",       // emoji only
      "，。！？",                                 // punctuation only
      "Hello 你好 123 Привет",                    // mixed scripts and digits
      "<speak>不是标记</speak> [[a]] & %s",      // markup and format text are read as text
      std::string(500, 'a'),                     // one long word
  };
  for (const std::string& text : texts) {
    const auto pcm = engine->Speak(text, kMandarin, 175);
    ASSERT_TRUE(pcm) << text;
    if (pcm->samples.empty()) continue;  // the service refuses these as nothing to speak
    const auto mp3 = EncodeMp3(*pcm);
    ASSERT_TRUE(mp3) << text;
    EXPECT_TRUE(ReadMpegAudio(*mp3)) << text;
  }
}

TEST(Mp3Encoder, RefusesAudioWithoutRate) {
  Pcm pcm;
  pcm.samples.assign(1000, 0);
  EXPECT_EQ(EncodeMp3(pcm), std::nullopt);
}

class AudioStoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = fs::temp_directory_path() /
             ("speechd-store-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + "-" +
              NewAudioId());
    fs::create_directories(folder);
  }
  void TearDown() override { fs::remove_all(folder); }

  fs::path Touch(const std::string& name, std::chrono::seconds age) {
    const fs::path path = folder / name;
    std::ofstream(path) << "x";
    fs::last_write_time(path, fs::file_time_type::clock::now() - age);
    return path;
  }

  fs::path folder;
};

TEST_F(AudioStoreTest, SavedAudioLoadsBackAndLeavesNoTemporaryFile) {
  const std::string id = NewAudioId();
  ASSERT_TRUE(SaveAudio(folder, id, std::string("\xFF\xF3\x00\x01", 4)));
  EXPECT_EQ(LoadAudio(folder, id), std::string("\xFF\xF3\x00\x01", 4));
  EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
  EXPECT_EQ(LoadAudio(folder, NewAudioId()), std::nullopt);
}

TEST_F(AudioStoreTest, SaveIntoMissingFolderFails) {
  EXPECT_FALSE(SaveAudio(folder / "gone", NewAudioId(), "x"));
}

TEST_F(AudioStoreTest, OnlyWellFormedIdsAreLoaded) {
  Touch("notes.txt", std::chrono::seconds(0));
  for (const char* id : {"../notes", "notes.txt", "", "0123456789ABCDEF0123456789ABCDEF",
                         "0123456789abcdef0123456789abcde/"}) {
    EXPECT_FALSE(IsAudioId(id)) << id;
    EXPECT_EQ(LoadAudio(folder, id), std::nullopt) << id;
  }
}

TEST_F(AudioStoreTest, IdsAreDistinct) {
  std::set<std::string> ids;
  for (int i = 0; i < 1000; ++i) {
    const std::string id = NewAudioId();
    EXPECT_TRUE(IsAudioId(id)) << id;
    ids.insert(id);
  }
  EXPECT_EQ(ids.size(), 1000u);
}

TEST_F(AudioStoreTest, CleanupRemovesOnlyOldAudioOfItsOwn) {
  using std::chrono::seconds;
  const std::string oldId = NewAudioId(), freshId = NewAudioId(), partId = NewAudioId();
  const fs::path old = Touch(oldId + ".mp3", seconds(120));
  const fs::path oldPart = Touch(partId + ".mp3.part", seconds(120));
  const fs::path fresh = Touch(freshId + ".mp3", seconds(10));
  const fs::path foreign[] = {Touch("notes.txt", seconds(120)), Touch("song.mp3", seconds(120)),
                              Touch(oldId + ".mp3.bak", seconds(120)),
                              Touch("0123456789ABCDEF0123456789ABCDEF.mp3", seconds(120))};
  fs::create_directory(folder / (NewAudioId() + ".mp3"));  // a folder, not audio

  EXPECT_EQ(RemoveAudioOlderThan(folder, seconds(60)), 2u);
  EXPECT_FALSE(fs::exists(old));
  EXPECT_FALSE(fs::exists(oldPart));
  EXPECT_TRUE(fs::exists(fresh));
  for (const fs::path& path : foreign) EXPECT_TRUE(fs::exists(path)) << path;
  EXPECT_EQ(RemoveAudioOlderThan(folder / "gone", seconds(60)), 0u);
}

}  // namespace
