// The download seam's Windows side: the target's Chinese name reaches the URL moniker service whole.
#include <gtest/gtest.h>

#include <string>

#include "TempFolder.h"
#include "speech/UrlDownload.h"
#include "sys/Win.h"

namespace {

std::string ReadWhole(const std::wstring& path) {
    HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return "(missing)";
    char buffer[256];
    DWORD n = 0;
    std::string out;
    while (ReadFile(h, buffer, sizeof buffer, &n, nullptr) && n > 0) out.append(buffer, n);
    CloseHandle(h);
    return out;
}

}  // namespace

TEST(UrlDownload, SavesUnderTheChineseNameItWasGiven) {
    TempFolder t;
    const std::wstring source = t.Wide() + L"\\source.mp3";
    HANDLE h = CreateFileW(source.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(h, "ID3 audio", 9, &written, nullptr);
    CloseHandle(h);
    ASSERT_TRUE(CreateDirectoryW((t.Wide() + L"\\生成音频测试文件夹").c_str(), nullptr));

    std::string url = "file:///" + t.Path().Str() + "\\source.mp3";
    Text target = Concat(t.Path(), "\\\xC9\xFA\xB3\xC9\xD2\xF4\xC6\xB5\xB2\xE2\xCA\xD4\xCE\xC4\xBC\xFE\xBC\xD0"  // 生成音频测试文件夹
                         "\\\xD5\x5C.mp3");  // 誠.mp3
    EXPECT_TRUE(PlatformUrlDownloader().Download(Text::Of(url), target));
    EXPECT_EQ(ReadWhole(t.Wide() + L"\\生成音频测试文件夹\\誠.mp3"), "ID3 audio");
    EXPECT_EQ(t.Listing(L"生成音频测试文件夹"), L"誠.mp3");
}

TEST(UrlDownload, FailsForAnAddressThatLeadsNowhere) {
    TempFolder t;
    Text target = Concat(t.Path(), "\\x.mp3");
    EXPECT_FALSE(PlatformUrlDownloader().Download(Concat("file:///", t.Path(), "\\missing.mp3"), target));
    EXPECT_EQ(t.Listing(), L"");
}
