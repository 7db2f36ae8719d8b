// A whole generation on Windows: the real internet library, URL moniker service and file system
// against the speech service with its host mapped, the window's values held in memory.
#include <gtest/gtest.h>

#include <string>

#include "sys/Win.h"
#include "speech/Generation.h"
#include "util/Files.h"
#include "util/Mp3Frames.h"

namespace {

const Text kInput = "\xC4\xE3\xBA\xC3\xA3\xAC\xCA\xC0\xBD\xE7";                      // 你好，世界
const std::string kStart = "\xBF\xAA\xCA\xBC\xC9\xFA\xB3\xC9";                      // 开始生成
const std::string kFinished = "\xC9\xFA\xB3\xC9\xCD\xEA\xB1\xCF\xA3\xA1\r\n\r\nMorvast www.morvast.example";  // 生成完毕！…
const std::string kFilePrefix = "\\\xC9\xFA\xB3\xC9\xD2\xF4\xC6\xB5\xB2\xE2\xCA\xD4";  // \生成音频测试

class Controls : public ControlAccess {
public:
    Text input = kInput, message = "unchanged", caption = Text::Of(kStart);
    Text InputText() override { return input; }
    Text MessageText() override { return message; }
    void SetMessageText(const Text& t) override { message = t; }
    Text StartCaption() override { return caption; }
    void SetStartCaption(const Text& t) override { caption = t; }
};

int FilesIn(const Text& folder) {
    WIN32_FIND_DATAW found;
    std::wstring pattern;
    int n = MultiByteToWideChar(936, 0, folder.CStr(), -1, nullptr, 0);
    pattern.resize(static_cast<size_t>(n));
    MultiByteToWideChar(936, 0, folder.CStr(), -1, pattern.data(), n);
    pattern.pop_back();
    pattern += L"\\*.*";
    HANDLE h = FindFirstFileW(pattern.c_str(), &found);
    if (h == INVALID_HANDLE_VALUE) return 0;
    int count = 0;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) count++;
    } while (FindNextFileW(h, &found));
    FindClose(h);
    return count;
}

bool EndsWith(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

TEST(Served, ChineseTextBecomesAWholeMp3UnderItsTimeName) {
    int before = FilesIn(OutputFolder());
    Controls controls;
    OnStartClicked(controls);
    ASSERT_TRUE(EndsWith(controls.message.Str(), kFinished)) << controls.message.Str();
    EXPECT_EQ(controls.caption.Str(), kStart);

    const Text file = LastSavedGeneration().file;
    EXPECT_EQ(FilesIn(OutputFolder()), before + 1);  // and no partial file beside it
    std::string expectedStart = OutputFolder().Str() + kFilePrefix;
    EXPECT_EQ(file.Str().rfind(expectedStart, 0), 0u) << file.Str();
    EXPECT_TRUE(EndsWith(file.Str(), ".mp3"));

    Bytes audio = ReadWholeFile(file);
    ASSERT_GT(audio.Length(), 4);
    Mp3FrameHeader first;
    EXPECT_TRUE(ParseMp3FrameHeader(audio.Data(), static_cast<size_t>(audio.Length()), first));
    std::vector<Mp3Frame> frames;
    ASSERT_TRUE(WalkMp3Frames(audio.Data(), static_cast<size_t>(audio.Length()), &frames));
    double seconds = static_cast<double>(frames.size()) * first.samplesPerFrame / first.sampleRate;
    EXPECT_GT(seconds, 0.5);
}

TEST(Served, TwoGenerationsInOneSecondKeepBothFiles) {
    Controls controls;
    OnStartClicked(controls);
    Text first = LastSavedGeneration().file;
    OnStartClicked(controls);
    Text second = LastSavedGeneration().file;
    ASSERT_FALSE(first.Empty());
    EXPECT_NE(first.Str(), second.Str());
    EXPECT_TRUE(FileExists(first));
    EXPECT_TRUE(FileExists(second));
}

TEST(Unreachable, NoFileNoMessageAndTheCaptionIsBack) {
    int before = FilesIn(OutputFolder());
    Controls controls;
    OnStartClicked(controls);
    EXPECT_EQ(controls.message.Str(), "unchanged");
    EXPECT_EQ(controls.caption.Str(), kStart);
    EXPECT_EQ(FilesIn(OutputFolder()), before);
    EXPECT_TRUE(FileExists(OutputFolder()));  // made even though the download failed
}

TEST(SavedAudioFiles, ReadMoveAndDeleteChineseNames) {
    Text folder = OutputFolder();
    CreateDirectory(folder);
    Text a = Concat(folder, "\\\xD5\x5C-a.part"), b = Concat(folder, "\\\xD5\x5C-b.mp3");  // 誠
    RemoveFile(a);
    RemoveFile(b);
    EXPECT_TRUE(ReadWholeFile(a).Empty());
    EXPECT_FALSE(RenameFile(a, b));
    EXPECT_FALSE(RemoveFile(a));
    std::wstring wa;
    int n = MultiByteToWideChar(936, 0, a.CStr(), -1, nullptr, 0);
    wa.resize(static_cast<size_t>(n));
    MultiByteToWideChar(936, 0, a.CStr(), -1, wa.data(), n);
    wa.pop_back();
    HANDLE h = CreateFileW(wa.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(h, "abc\0d", 5, &written, nullptr);
    CloseHandle(h);
    EXPECT_EQ(ReadWholeFile(a), Bytes::Of(std::string("abc\0d", 5)));
    EXPECT_TRUE(RenameFile(a, b));
    EXPECT_FALSE(FileExists(a));
    EXPECT_EQ(ReadWholeFile(b).Length(), 5);
    // A move never replaces a file that is there.
    h = CreateFileW(wa.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    CloseHandle(h);
    EXPECT_FALSE(RenameFile(a, b));
    EXPECT_EQ(ReadWholeFile(b).Length(), 5);
    EXPECT_TRUE(RemoveFile(a));
    EXPECT_TRUE(RemoveFile(b));
}

}  // namespace
