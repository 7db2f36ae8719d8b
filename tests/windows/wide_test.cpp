// Texts on their way to and from the W functions.
#include <gtest/gtest.h>

#include "sys/ProgramPath.h"
#include "sys/Wide.h"

TEST(Wide, ConvertsCodePage936ToUtf16AndBack) {
    struct Case {
        Text text;
        std::wstring wide;
    } cases[] = {
        {"abc", L"abc"},
        {"\xC4\xE3\xBA\xC3", L"你好"},
        {"C:\\\xD5\x5C\\a", L"C:\\誠\\a"},
        {"\x80", L"\u20AC"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ToWide(c.text), c.wide) << c.text.Str();
        NarrowText back = FromWide(c.wide);
        EXPECT_EQ(back.text, c.text);
        EXPECT_TRUE(back.exact);
    }
}

TEST(Wide, AbsentTextIsANullArgumentAndTheLiteralEmptyOneIsNot) {
    EXPECT_EQ(WideArg(Text()).Get(), nullptr);
    ASSERT_NE(WideArg("").Get(), nullptr);
    EXPECT_EQ(*WideArg("").Get(), L'\0');
    EXPECT_STREQ(WideArg("\xC4\xE3").Get(), L"你");
}

TEST(Wide, TellsWhenCodePage936CannotHoldAName) {
    NarrowText n = FromWide(L"a\uD55Cb");  // Hangul
    EXPECT_FALSE(n.exact);
    EXPECT_EQ(n.text, "a?b");
    EXPECT_TRUE(FromWide(L"").text.IsAbsent());
    EXPECT_EQ(FromWide(std::wstring(L"ab\0cd", 5)).text, "ab");
}

TEST(ProgramPath, KeepsWhatCodePage936CanHold) {
    EXPECT_EQ(PathText(L"C:\\a\\b.exe"), "C:\\a\\b.exe");
    EXPECT_EQ(PathText(L"C:\\你\\b.exe"), "C:\\\xC4\xE3\\b.exe");
    // A path that does not exist has no short form: the lossy text is all there is.
    EXPECT_EQ(PathText(L"C:\\no-such-\uD55C"), "C:\\no-such-?");
}
