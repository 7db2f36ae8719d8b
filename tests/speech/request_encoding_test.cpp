#include "speech/RequestEncoding.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "util/CodePage.h"

namespace {

TEST(RequestEncodingTest, UrlEncodeTable) {
    struct Case { Text in; const char* out; } cases[] = {
        {"", ""},
        {Text(), ""},
        {"abcXYZ019", "abcXYZ019"},
        {"a b", "a%20b"},
        {"1+1=2", "1%2B1%3D2"},
        {"x.y", "x%2Ey"},
        {"-._~", "%2D%2E%5F%7E"},
        {"\xC4\xE3", "%E4%BD%A0"},  // 你
        {"\r\n\t", "%0D%0A%09"},
        {"\xC4\xE3\xBA\xC3\xA3\xAC\xCA\xC0\xBD\xE7", "%E4%BD%A0%E5%A5%BD%EF%BC%8C%E4%B8%96%E7%95%8C"},  // 你好，世界
        {"\x80", "%E2%82%AC"},
        {"\xFF", "%EF%A3%B5"},             // U+F8F5, as Windows converts it
        {"a\xC4", "a%3F"},                 // a cut-off character becomes "?"
    };
    for (const auto& c : cases) EXPECT_EQ(UrlEncodeUtf8(c.in).Str(), c.out) << c.in.Str();
    EXPECT_TRUE(UrlEncodeUtf8("").IsAbsent());
}

TEST(RequestEncodingTest, ConversionsKeepTheTerminator) {
    EXPECT_EQ(AnsiToUtf16("ab"), (Bytes{0x61, 0, 0x62, 0, 0, 0}));
    EXPECT_EQ(Utf16ToUtf8(Bytes{0x61, 0, 0x62, 0, 0, 0}), (Bytes{0x61, 0x62, 0}));
    EXPECT_EQ(AnsiToUtf16(""), (Bytes{0, 0}));
    EXPECT_EQ(AnsiToUtf8(""), (Bytes{0}));
    EXPECT_EQ(AnsiToUtf8("\xC4\xE3"), (Bytes{0xE4, 0xBD, 0xA0, 0}));
    // Units after an inner zero unit are counted but not converted; the rest stays zero.
    EXPECT_EQ(Utf16ToUtf8(Bytes{0x61, 0, 0, 0, 0x62, 0}), (Bytes{0x61, 0, 0}));
    // Without a zero unit the counted units are converted, never read past.
    EXPECT_EQ(Utf16ToUtf8(Bytes{0x61, 0, 0x62, 0}), (Bytes{0x61, 0x62}));
    EXPECT_TRUE(Utf16ToUtf8(Bytes()).Empty());
    // A surrogate pair is one character; an unpaired surrogate becomes U+FFFD.
    EXPECT_EQ(Utf16ToUtf8(Bytes{0x3D, 0xD8, 0x00, 0xDE, 0, 0}), (Bytes{0xF0, 0x9F, 0x98, 0x80, 0}));
    EXPECT_EQ(Utf16ToUtf8(Bytes{0x00, 0xDE, 0x3D, 0xD8, 0, 0}), (Bytes{0xEF, 0xBF, 0xBD, 0xEF, 0xBF, 0xBD, 0}));
}

TEST(CodePageTest, CapacityAndLengthConventions) {
    char16_t buf[8] = {};
    EXPECT_EQ(MultiByteToUtf16(kCodePageGbk, "ab", -1, nullptr, 0), 3);
    EXPECT_EQ(MultiByteToUtf16(kCodePageGbk, "ab", 2, nullptr, 0), 2);
    EXPECT_EQ(MultiByteToUtf16(kCodePageGbk, "ab", -1, buf, 2), 0);  // too small
    EXPECT_EQ(MultiByteToUtf16(kCodePageGbk, "ab", 0, buf, 8), 0);
    EXPECT_EQ(MultiByteToUtf16(kCodePageGbk, nullptr, -1, buf, 8), 0);
    EXPECT_EQ(MultiByteToUtf16(kCodePageGbk, "ab", -1, buf, 8), 3);
    EXPECT_EQ(std::u16string(buf), u"ab");
    char out[8] = {};
    EXPECT_EQ(Utf16ToMultiByte(kCodePageUtf8, u"\xD800x", -1, out, 8), 5);  // a lone surrogate
    EXPECT_STREQ(out, "\xEF\xBF\xBDx");
    EXPECT_EQ(Utf16ToMultiByte(kCodePageGbk, u"\u4F60", -1, out, 8), 3);
    EXPECT_STREQ(out, "\xC4\xE3");
}

// Every byte and lead/trail pair against what the Windows conversion gives, from the shared table.
TEST(CodePageTest, MatchesTheWindowsTableForEveryPair) {
    std::ifstream table(TARVINEL_CP936_TABLE);
    if (!table) GTEST_SKIP() << "no table at " << TARVINEL_CP936_TABLE;
    std::string line;
    int checked = 0, mismatches = 0;
    while (std::getline(table, line)) {
        if (line.empty() || line[0] == '#') continue;
        size_t space = line.find(' ');
        std::string hex = line.substr(0, space), unit = line.substr(space + 1);
        if (unit == "----") continue;
        std::string bytes;
        for (size_t i = 0; i < hex.size(); i += 2) bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
        char16_t out[4] = {};
        int n = MultiByteToUtf16(kCodePageGbk, bytes.data(), static_cast<int>(bytes.size()), out, 4);
        auto expected = static_cast<char16_t>(std::stoi(unit, nullptr, 16));
        if (n != 1 || out[0] != expected) {
            if (++mismatches <= 10) ADD_FAILURE() << hex << ": expected " << unit << ", got " << std::hex << static_cast<int>(out[0]) << " (" << n << " units)";
        }
        checked++;
    }
    EXPECT_EQ(mismatches, 0);
    EXPECT_GT(checked, 24000);
}

}  // namespace
