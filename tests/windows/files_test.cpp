// The file-system seam on Windows: Chinese names in code page 936 must reach the W functions intact
// whatever the ANSI code page, including a character whose second byte is a backslash (0x5C).
#include <gtest/gtest.h>

#include "Child.h"
#include "TempFolder.h"
#include "sys/ProgramPath.h"
#include "sys/Wide.h"
#include "util/Files.h"
#include "util/Platform.h"

namespace {

// 936 bytes and the UTF-16 of the names used below.
const Text kOutputFolder = "\xC9\xFA\xB3\xC9\xD2\xF4\xC6\xB5\xB2\xE2\xCA\xD4\xCE\xC4\xBC\xFE\xBC\xD0";  // 生成音频测试文件夹
const std::wstring kOutputFolderW = L"生成音频测试文件夹";
const Text kBackslashTrail = "\xD5\x5C";  // 誠: its second byte is 0x5C
const std::wstring kBackslashTrailW = L"誠";

bool Touch(const std::wstring& path) {
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    CloseHandle(h);
    return true;
}

bool IsDirectory(const std::wstring& path) {
    DWORD a = GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

Text In(const TempFolder& t, std::initializer_list<Text> parts) {
    Text path = t.Path();
    for (const Text& p : parts) path = Concat(path, "\\", p);
    return path;
}

}  // namespace

TEST(FileExists, FindsFilesFoldersAndWildcardMatches) {
    TempFolder t;
    FileSystem& fs = PlatformFileSystem();
    ASSERT_TRUE(CreateDirectoryW((t.Wide() + L"\\" + kOutputFolderW).c_str(), nullptr));
    ASSERT_TRUE(Touch(t.Wide() + L"\\" + kOutputFolderW + L"\\" + kBackslashTrailW + L".mp3"));
    ASSERT_TRUE(Touch(t.Wide() + L"\\a.txt"));

    struct Case {
        Text name;
        bool exists;
    } cases[] = {
        {In(t, {kOutputFolder}), true},
        {In(t, {kOutputFolder, Concat(kBackslashTrail, ".mp3")}), true},
        {In(t, {"a.txt"}), true},
        {In(t, {kOutputFolder, "*.mp3"}), true},
        {In(t, {kOutputFolder, Concat(kBackslashTrail, "*")}), true},
        {In(t, {"?.txt"}), true},
        {In(t, {"*"}), true},
        {In(t, {kOutputFolder, "*.wav"}), false},
        {In(t, {"??.txt"}), false},
        {In(t, {kBackslashTrail}), false},
        {In(t, {"missing", "a.txt"}), false},
        {"", false},
        {Text(), false},
    };
    for (const Case& c : cases) EXPECT_EQ(fs.FileExists(c.name), c.exists) << c.name.Str();
}

TEST(CreateDirectory, CreatesOneLevelUnderTheExactName) {
    TempFolder t;
    FileSystem& fs = PlatformFileSystem();

    EXPECT_TRUE(fs.CreateDirectory(In(t, {kBackslashTrail})));
    EXPECT_TRUE(fs.CreateDirectory(In(t, {kOutputFolder})));
    // Nothing else was made (a byte-wise reading of 0x5C as a separator would make other names).
    // Listed in UTF-16 order.
    EXPECT_EQ(t.Listing(), kOutputFolderW + L"|" + kBackslashTrailW);
    EXPECT_TRUE(IsDirectory(t.Wide() + L"\\" + kBackslashTrailW));

    EXPECT_TRUE(fs.CreateDirectory(In(t, {kBackslashTrail, "x"})));
    EXPECT_EQ(t.Listing(kBackslashTrailW), L"x");

    EXPECT_FALSE(fs.CreateDirectory(In(t, {kOutputFolder}))) << "exists already";
    EXPECT_FALSE(fs.CreateDirectory(In(t, {"missing", "child"}))) << "two levels";
    EXPECT_FALSE(IsDirectory(t.Wide() + L"\\missing"));
    EXPECT_FALSE(fs.CreateDirectory(In(t, {"a|b"})));
    EXPECT_FALSE(fs.CreateDirectory(""));
    EXPECT_FALSE(fs.CreateDirectory(Text()));
    EXPECT_EQ(t.Listing(), kOutputFolderW + L"|" + kBackslashTrailW);
}

TEST(RunDirectory, IsTheFolderOfTheProgram) {
    Text dir = PlatformFileSystem().RunDirectory();
    EXPECT_EQ(dir, RunDirectoryFromModulePath(ProgramPath()));
    EXPECT_EQ(ToWide(dir) + L"\\", OwnFolder());
    EXPECT_TRUE(PlatformFileSystem().FileExists(Concat(dir, "\\files_test.exe")));
}

TEST(RunDirectory, IsCutAtTheLastBackslashOfWholeCharacters) {
    struct Case {
        Text modulePath, runDirectory;
    } cases[] = {
        {"C:\\a\\b.exe", "C:\\a"},
        {"C:\\b.exe", "C:"},
        {Concat("C:\\", kBackslashTrail, "\\b.exe"), Concat("C:\\", kBackslashTrail)},
        {Concat("C:\\", kBackslashTrail, ".exe"), "C:"},
        {Concat("C:\\", kOutputFolder, "\\", kBackslashTrail, "\\t.exe"), Concat("C:\\", kOutputFolder, "\\", kBackslashTrail)},
    };
    for (const Case& c : cases) EXPECT_EQ(RunDirectoryFromModulePath(c.modulePath), c.runDirectory) << c.modulePath.Str();
}

namespace {

// Copies the probe to folder and runs "probe rundir" there: the run directory in 936, and whether
// FileExists finds anything in it.
struct RunDirSeen {
    std::string hex;
    bool exists = false;
};
RunDirSeen RunDirectoryOfProbeIn(const std::wstring& folder) {
    // Named after this process: the same test may run at the same time under the other code page.
    std::wstring copy = folder + L"\\probe-" + std::to_wstring(GetCurrentProcessId()) + L".exe";
    RunDirSeen seen;
    if (!CopyFileW((OwnFolder() + L"probe.exe").c_str(), copy.c_str(), FALSE)) return seen;
    ProbeResult r = RunProbe(L"rundir", copy);
    DeleteFileW(copy.c_str());
    size_t space = r.output.find(' ');
    seen.hex = r.output.substr(0, space);
    seen.exists = r.output.find(" exists") != std::string::npos;
    return seen;
}

std::string Hex(const Text& t) {
    std::string out;
    char b[3];
    for (char c : t.View()) {
        std::snprintf(b, sizeof b, "%02X", static_cast<unsigned char>(c));
        out += b;
    }
    return out;
}

}  // namespace

TEST(RunDirectory, OfAProgramInADriveRootIsTheDriveAlone) {
    RunDirSeen seen = RunDirectoryOfProbeIn(L"C:");
    EXPECT_EQ(seen.hex, Hex("C:"));
    EXPECT_TRUE(seen.exists);
}

TEST(RunDirectory, OfAChineseFolderIsItsCodePage936Name) {
    TempFolder t;
    std::wstring folder = t.Wide() + L"\\" + kBackslashTrailW;
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    RunDirSeen seen = RunDirectoryOfProbeIn(folder);
    EXPECT_EQ(seen.hex, Hex(In(t, {kBackslashTrail})));
    EXPECT_TRUE(seen.exists);
}

TEST(RunDirectory, ThatCodePage936CannotWriteFallsBackToTheShortPath) {
    TempFolder t;
    std::wstring folder = t.Wide() + L"\\한글";  // Hangul: not in code page 936
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    ASSERT_FALSE(FromWide(folder).exact);
    RunDirSeen seen = RunDirectoryOfProbeIn(folder);
    wchar_t shortPath[MAX_PATH] = {};
    ASSERT_NE(GetShortPathNameW(folder.c_str(), shortPath, MAX_PATH), 0u);
    Text expected = FromWide(shortPath).text;
    EXPECT_EQ(expected.View().find('?'), std::string_view::npos) << "no usable short name: " << expected.Str();
    EXPECT_EQ(seen.hex, Hex(expected));
    EXPECT_TRUE(seen.exists) << "the run directory does not lead back to the folder";
}

TEST(FileOperations, ReadRenameAndRemoveUnderChineseNamesAndFailQuietly) {
    TempFolder t;
    FileSystem& fs = PlatformFileSystem();
    ASSERT_TRUE(CreateDirectoryW((t.Wide() + L"\\" + kOutputFolderW).c_str(), nullptr));
    auto write = [](const Text& name, const std::string& bytes) {
        HANDLE h = CreateFileW(WideArg(name).Get(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        const bool ok = h != INVALID_HANDLE_VALUE &&
                        WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
        return ok && written == bytes.size();
    };
    const Text partial = In(t, {kOutputFolder, Concat(kBackslashTrail, ".mp3.part")});
    const Text target = In(t, {kOutputFolder, Concat(kBackslashTrail, ".mp3")});
    const std::string audio("ID3\0\xFF\xFB", 6);
    ASSERT_TRUE(write(partial, audio));
    EXPECT_EQ(fs.ReadWholeFile(partial), Bytes::Of(audio));
    EXPECT_TRUE(fs.RenameFile(partial, target));
    EXPECT_FALSE(fs.FileExists(partial));
    EXPECT_EQ(fs.ReadWholeFile(target), Bytes::Of(audio));

    // A move never replaces a file that is there already.
    ASSERT_TRUE(write(partial, "newer"));
    EXPECT_FALSE(fs.RenameFile(partial, target));
    EXPECT_EQ(fs.ReadWholeFile(target), Bytes::Of(audio));
    EXPECT_TRUE(fs.RemoveFile(partial));

    // Missing files and empty names: empty results and false, nothing touched.
    EXPECT_FALSE(fs.RemoveFile(partial));
    EXPECT_TRUE(fs.ReadWholeFile(partial).Empty());
    EXPECT_FALSE(fs.RenameFile(partial, In(t, {"moved"})));
    EXPECT_TRUE(fs.ReadWholeFile(Text()).Empty());
    EXPECT_FALSE(fs.RenameFile(Text(), target));
    EXPECT_FALSE(fs.RemoveFile(Text()));
    EXPECT_EQ(t.Listing(kOutputFolderW), kBackslashTrailW + L".mp3");
    ASSERT_TRUE(write(partial, ""));
    EXPECT_TRUE(fs.ReadWholeFile(partial).Empty());
}
