#include "http/Url.h"

#include <gtest/gtest.h>

namespace {

TEST(UrlTest, SplitTable) {
    struct Case { Text url, host, hostWithPort; int port; Text path; } cases[] = {
        {"host/path?q", "host", "host", 80, "/path?q"},
        {"http://host:81/a/b", "host", "host:81", 81, "/a/b"},
        {"http://host", "host", "host", 80, "/"},
        {"host", "host", "host", 80, "/"},
        {"http://host/a:b", "host", "host", 80, "/a:b"},
        {"host:81", "host", "host:81", 81, "/"},
        {"http://Host/Path", "host", "host", 80, "/Path"},
        {"HTTP://Host/Path", "http", "http:", 0, "//Host/Path"},
        {"https://host/x", "https", "https:", 0, "//host/x"},
        {"http://host?q=1", "host?q=1", "host?q=1", 80, "/"},
        {"host:", "host", "host:", 0, "/"},
        {"http://host:/a", "host", "host:", 0, "/a"},
        {"a/b?next=http://other/c", "other", "other", 80, "/c"},
        {"/path", Text(), Text(), 80, "/path"},
        {Text(), Text(), Text(), 80, "/"},
        {"host:80.9/x", "host", "host:80.9", 80, "/x"},
        {"host:-1.5/x", "host", "host:-1.5", -1, "/x"},
        {"host:99999999999/x", "host", "host:99999999999", INT32_MAX, "/x"},
        {"host:\xA3\xB8\xA3\xB1/x", "host", "host:\xA3\xB8\xA3\xB1", 81, "/x"},
        {"tts.morvast.example/bin/makeColorPlusGuest.jsp?sex=201&ment=%E4%BD%A0", "tts.morvast.example",
         "tts.morvast.example", 80, "/bin/makeColorPlusGuest.jsp?sex=201&ment=%E4%BD%A0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.url.Str());
        EXPECT_EQ(UrlHost(c.url, false).Str(), c.host.Str());
        EXPECT_EQ(UrlHost(c.url, true).Str(), c.hostWithPort.Str());
        EXPECT_EQ(UrlPort(c.url), c.port);
        EXPECT_EQ(UrlPath(c.url).Str(), c.path.Str());
    }
}

TEST(UrlTest, PathIsFoundBehindTheHostWhereverItFirstStands) {
    // The host also stands earlier inside the scheme-less text; the path search starts there.
    EXPECT_EQ(UrlPath("ab.c/ab.c/x"), Text("/ab.c/x"));
    EXPECT_EQ(UrlPath("HoSt/P"), Text("/P"));
}

}  // namespace
