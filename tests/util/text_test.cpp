#include "util/Text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// 你好 and other code page 936 characters used below.
const char* const kNiHao = "\xC4\xE3\xBA\xC3";

TEST(TextTest, AbsentAndLiteralEmptyDifferOnlyAtSystemCalls) {
    EXPECT_EQ(SysText(Text()), nullptr);
    EXPECT_EQ(SysText(TextLeft("abc", 0)), nullptr);
    EXPECT_EQ(SysText(CharText(0)), nullptr);
    ASSERT_NE(SysText(""), nullptr);
    EXPECT_STREQ(SysText(""), "");
    EXPECT_EQ(CompareText(Text(), ""), 0);
    EXPECT_EQ(TextLength(Text()), 0);
    // Concat of empty parts is present; every other empty result is absent.
    EXPECT_NE(SysText(Concat(Text(), "")), nullptr);
    EXPECT_EQ(SysText(Concat(Text(), "")), std::string(""));
    EXPECT_EQ(SysBytes(Bytes()), nullptr);
    EXPECT_EQ(SysBytes(BlankBytes(0)), nullptr);
}

TEST(TextTest, ComputedTextStopsAtZeroByte) {
    EXPECT_EQ(Text::Of(std::string("ab\0c", 4)), Text("ab"));
    EXPECT_TRUE(Text::Of(std::string("\0c", 2)).IsAbsent());
}

TEST(TextTest, CompareTextOrdersBytesUnsigned) {
    struct Case { Text a, b; int expected; } cases[] = {
        {"GET", "GET", 0}, {"GET", "get", -1}, {"get", "GET", 1}, {"ab", "abc", -1}, {"abc", "ab", 1},
        {"\x80", "a", 1}, {"a", "\xFF", -1}, {Text(), "", 0}, {"", "a", -1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CompareText(c.a, c.b), c.expected) << c.a.Str() << " vs " << c.b.Str();
    }
}

TEST(TextTest, LeftRightMidClampAndCutBytes) {
    struct Case { Text result; Text expected; } cases[] = {
        {TextLeft(kNiHao, 3), "\xC4\xE3\xBA"},  // cuts the second character
        {TextLeft("abc", -1), Text()},
        {TextLeft("abc", 5), "abc"},
        {TextRight("abc", 5), "abc"},
        {TextRight("abc", 2), "bc"},
        {TextRight("abc", 0), Text()},
        {TextMid("abc", 0, 2), Text()},
        {TextMid("abc", 4, 1), Text()},
        {TextMid("abc", 2, 10), "bc"},
        {TextMid("abc", 2, 1), "b"},
        {TextMid("abc", 1, 0), Text()},
        {TextMid("abc", 1, -3), Text()},
    };
    for (const auto& c : cases) EXPECT_EQ(c.result.Str(), c.expected.Str());
    EXPECT_EQ(TextLength(kNiHao), 4);
    EXPECT_TRUE(TextMid("abc", 4, 1).IsAbsent());
}

TEST(TextTest, FindTextTable) {
    struct Case { Text t, sought; int start; bool fold; int expected; } cases[] = {
        {"abcabc", "c", 4, false, 6},
        {"abcabc", "c", 0, false, 3},
        {"abcabc", "c", 1, false, 3},
        {"abcabc", "c", -5, false, 3},
        {"abcabc", "c", 7, false, -1},
        {"abc", "", 3, false, 1},
        {"", "", 1, false, -1},
        {"abc", "", 4, false, -1},
        {"abc", "abcd", 1, false, -1},
        {"Set-Cookie: a=1", "set-cookie: ", 1, true, 1},
        {"Set-Cookie: a=1", "set-cookie: ", 1, false, -1},
        {"\x81\x41\x41", "A", 0, false, 3},      // 丄A: the A inside 丄 is not a character
        {"\x81\x61", "\x81\x41", 1, true, 1},    // 乤 matches 丄 when folding: trail bytes fold too
        {"\x81\x61", "\x81\x41", 1, false, -1},
        {"a\x81", "\x81", 1, false, 2},          // a lead byte at the very end is a character
        {"x\xB0\xA1\xB0\xA1" "A", "\xA1\xB0", 1, false, -1},  // straddling two characters
        {"\xB0\xA1\xB0\xA1", "\xA1\xB0", 2, false, 2},  // the walk starts at the start position
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FindText(c.t, c.sought, c.start, c.fold), c.expected)
            << "'" << c.t.Str() << "' '" << c.sought.Str() << "' start " << c.start;
    }
    EXPECT_EQ(FindText("abcabc", "c"), 3);
}

TEST(TextTest, FindTextSkipsFalseHitsInsideLongDoubleByteRuns) {
    // Every "A1 B0" below straddles two characters except the last one.
    std::string t = "x";
    for (int i = 0; i < 1000; i++) t += "\xB0\xA1";
    t += "a\xA1\xB0";
    EXPECT_EQ(FindText(Text::Of(t), "\xA1\xB0"), static_cast<int>(t.size()) - 1);
    EXPECT_EQ(FindText(Text::Of(t), "\xA1\xB0", 1, true), static_cast<int>(t.size()) - 1);
}

TEST(TextTest, ReplaceAtTable) {
    EXPECT_EQ(ReplaceAt("Set-Cookie: a=1", 1, 12), Text("a=1"));
    EXPECT_TRUE(ReplaceAt("short", 1, 12).IsAbsent());
    EXPECT_EQ(ReplaceAt("abc", 2, 0, "X"), Text("aXbc"));
    EXPECT_EQ(ReplaceAt("abc", -4, 1, "X"), Text("Xbc"));
    EXPECT_EQ(ReplaceAt("abc", 9, 2, "X"), Text("abcX"));
    EXPECT_EQ(ReplaceAt("abc", 2, -1, "X"), Text("aXbc"));
}

TEST(TextTest, CaseMappingLeavesTrailBytesAlone) {
    EXPECT_EQ(ToUpper("get"), Text("GET"));
    EXPECT_EQ(ToLower("Host:81"), Text("host:81"));
    EXPECT_EQ(ToUpper("\x81\x61\x61"), Text("\x81\x61\x41"));
    EXPECT_EQ(ToLower("\x81\x41\x41"), Text("\x81\x41\x61"));
    EXPECT_EQ(ToUpper("a\x81"), Text("A\x81"));  // a lead byte at the end is copied
    EXPECT_EQ(ToUpper("[`{@"), Text("[`{@"));
}

TEST(TextTest, RemoveSpacesTable) {
    EXPECT_EQ(RemoveSpaces(" a\tb\xA1\xA1" "c "), Text("a\tbc"));
    EXPECT_TRUE(RemoveSpaces("   ").IsAbsent());
    EXPECT_TRUE(RemoveSpaces("\xA1\xA1 \xA1\xA1").IsAbsent());
    EXPECT_EQ(RemoveSpaces("\xC4\xE3 \xBA"), Text("\xC4\xE3"));  // a cut-off character is dropped
    EXPECT_EQ(RemoveSpaces("\xB0\x20x"), Text("\xB0\x20x"));    // 0x20 as a trail byte stays
}

TEST(TextTest, NumbersToText) {
    EXPECT_EQ(HexText(10), Text("A"));
    EXPECT_EQ(HexText(0), Text("0"));
    EXPECT_EQ(HexText(16), Text("10"));
    EXPECT_EQ(HexText(255), Text("FF"));
    EXPECT_EQ(HexText(-1), Text("FFFFFFFF"));
    EXPECT_EQ(HexText(INT32_MIN), Text("80000000"));
    EXPECT_EQ(IntToText(-5), Text("-5"));
    EXPECT_EQ(IntToText(0), Text("0"));
    EXPECT_EQ(IntToText(INT32_MIN), Text("-2147483648"));
    EXPECT_EQ(CharText(65), Text("A"));
    EXPECT_EQ(CharText(0xC4), Text("\xC4"));
    EXPECT_TRUE(BlankText(0).IsAbsent());
    EXPECT_EQ(BlankText(3), Text("   "));
}

TEST(TextTest, ToNumberTable) {
    struct Case { Text t; double expected; } cases[] = {
        {"80", 80}, {" 12abc", 12}, {"abc", 0}, {"1.5e2", 150}, {"\xA3\xB8\xA3\xB0", 80},
        {"\t\r\n\v\f-3.25", -3.25}, {"+7", 7}, {"0x1A", 0}, {"2d3", 2000}, {"2D-1", 0.2},
        {"5e", 5}, {"5e+", 5}, {".5", 0.5}, {"5.", 5}, {".", 0}, {"-", 0}, {"", 0}, {Text(), 0},
        {"inf", 0}, {"nan", 0}, {"\xA1\xA1" "42", 42}, {"\xA3\xAD" "4", -4}, {"1\xA3\xAE" "5", 1.5},
        {"1\xA1", 1}, {"\xC4\xE3" "1", 0},
    };
    for (const auto& c : cases) EXPECT_DOUBLE_EQ(ToNumber(c.t), c.expected) << c.t.Str();
}

TEST(TextTest, TruncToIntTruncatesAndSaturates) {
    EXPECT_EQ(TruncToInt(80.9), 80);
    EXPECT_EQ(TruncToInt(-1.5), -1);
    EXPECT_EQ(TruncToInt(1e300), INT32_MAX);
    EXPECT_EQ(TruncToInt(-1e300), INT32_MIN);
    EXPECT_EQ(TruncToInt(ToNumber("nan")), 0);
}

TEST(BytesTest, Operations) {
    EXPECT_TRUE(BlankBytes(-1).Empty());
    EXPECT_EQ(BlankBytes(255), Bytes(std::vector<uint8_t>(255, 0)));
    Bytes abc{1, 2, 3};
    EXPECT_EQ(BytesLeft(abc, 5), abc);
    EXPECT_TRUE(BytesLeft(abc, 0).Empty());
    EXPECT_EQ(BytesLeft(abc, 2), (Bytes{1, 2}));
    EXPECT_EQ(BytesToText(Bytes{0x61, 0x62, 0x00, 0x63}), Text("ab"));
    EXPECT_TRUE(BytesToText(BlankBytes(255)).IsAbsent());
    EXPECT_EQ(BytesToText(Bytes{0x61, 0x62}), Text("ab"));
    EXPECT_EQ(TextToBytes("ab"), (Bytes{0x61, 0x62}));
    EXPECT_EQ(TextToBytes(abc), abc);
    EXPECT_EQ((Bytes{0xFF}).Element(1), 255);
}

#ifndef _WIN32  // on Windows the report is a message box, pressed by its own driver test
using BytesDeathTest = ::testing::Test;

TEST(BytesDeathTest, ElementOutsideTheArrayEndsThroughTheFatalReport) {
    Bytes b{1, 2};
    // 数组成员引用下标必须大于等于1 / 数组成员引用下标超出定义范围, with codes 4 and 1.
    EXPECT_EXIT(b.Element(0), ::testing::ExitedWithCode(255),
                "\xB4\xED\xCE\xF3\xB4\xFA\xC2\xEB\xA3\xBA" "4\r\n\r\n");
    EXPECT_EXIT(b.Element(3), ::testing::ExitedWithCode(255),
                "\xB4\xED\xCE\xF3\xB4\xFA\xC2\xEB\xA3\xBA" "1\r\n\r\n");
}
#endif

}  // namespace
