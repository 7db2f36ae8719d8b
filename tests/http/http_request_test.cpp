#include "http/HttpRequest.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FakeInternet.h"

namespace {

using Log = std::vector<std::string>;

const std::string kOpenDirect =
    "InternetOpenA(\"Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)\", 1, null, null, 0)";
const std::string kAcceptLine =
    "Accept: image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, application/x-shockwave-flash, "
    "application/vnd.ms-excel, application/vnd.ms-powerpoint, application/msword, */*\r\n";
const std::string kLanguageLine = "Accept-Language: zh-cn\r\n";
const std::string kCloseAll[] = {"InternetCloseHandle(request)", "InternetCloseHandle(connection)",
                                 "InternetCloseHandle(internet)"};

std::string DefaultLines(const std::string& url) { return kAcceptLine + "Referer: " + url + "\r\n" + kLanguageLine; }

std::string SendLine(const std::string& headers, const std::string& data = "") {
    return "HttpSendRequestA(request, \"" + headers + "\", " + std::to_string(headers.size()) + ", " +
           (data.empty() ? "null" : "\"" + data + "\"") + ", " + std::to_string(data.size()) + ")";
}

std::string Zeros(size_t n) { return std::string(n, '\0'); }

// One call with the given arguments; the out-parameters come back through the struct.
struct Call {
    Text url = "tts.example.com/bin/say?t=1";
    Text method{}, proxy{}, headers{}, postData{};
    Text responseHeaders = "untouched";

    Bytes Run() { return HttpRequest(url, method, proxy, headers, postData, responseHeaders); }
    Text RunText() { return HttpRequestText(url, method, proxy, headers, postData, responseHeaders); }
};

TEST(HttpRequestTest, PlainGetMakesExactlyTheseCalls) {
    FakeInternet fake;
    fake.bodyChunks = {"<html>", "ok</html>"};
    fake.rawHeaders = "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\n\r\n";
    Call call{.url = "Tts.Example.com:8080/bin/say?t=%E4%BD%A0"};

    EXPECT_EQ(call.Run().View(), "<html>ok</html>");

    std::string lines = DefaultLines("Tts.Example.com:8080/bin/say?t=%E4%BD%A0");
    EXPECT_EQ(fake.log, (Log{
                            kOpenDirect,
                            "InternetConnectA(internet, \"tts.example.com\", 8080, \"\", \"\", 3, 0, 0)",
                            "HttpOpenRequestA(connection, null, \"/bin/say?t=%E4%BD%A0\", \"HTTP/1.1\", null, null, "
                            "0x80000000, 0)",
                            SendLine(lines),
                            "PumpEvents",
                            "InternetReadFile(request, 2048) -> 6",
                            "PumpEvents",
                            "InternetReadFile(request, 2048) -> 9",
                            "PumpEvents",
                            "InternetReadFile(request, 2048) -> 0",
                            "HttpQueryInfoA(request, 22, 1024, null)",
                            kCloseAll[0],
                            kCloseAll[1],
                            kCloseAll[2],
                        }));
    EXPECT_EQ(call.headers.Str(), lines);
    EXPECT_EQ(call.responseHeaders.Str(), fake.rawHeaders);
}

TEST(HttpRequestTest, VerbIsPassedUnchangedAndOnlyGetAndPostAreSent) {
    struct Case { Text method; const char* verb; bool sent; } cases[] = {
        {Text(), "null", true},      {"", "null", true},           {"get", "\"get\"", true},
        {"Post", "\"Post\"", true},  {"GET ", "\"GET \"", false},  {"PUT", "\"PUT\"", false},
        {"HEAD", "\"HEAD\"", false}, {"DELETE", "\"DELETE\"", false},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.method.Str());
        FakeInternet fake;
        fake.bodyChunks = {"body"};
        Call call{.method = c.method};
        Bytes result = call.Run();

        EXPECT_EQ(fake.log[2], "HttpOpenRequestA(connection, " + std::string(c.verb) +
                                   ", \"/bin/say?t=1\", \"HTTP/1.1\", null, null, 0x80000000, 0)");
        EXPECT_EQ(call.headers.Str(), DefaultLines("tts.example.com/bin/say?t=1"));
        if (c.sent) {
            EXPECT_EQ(result.View(), "body");
            EXPECT_EQ(fake.Count("HttpSendRequestA"), 1);
        } else {
            EXPECT_EQ(result.View(), Zeros(255));
            EXPECT_EQ(fake.From("HttpOpenRequestA"), (Log{fake.log[2], kCloseAll[0], kCloseAll[1], kCloseAll[2]}));
            EXPECT_EQ(call.responseHeaders.Str(), "untouched");
            FakeInternet again;
            Call textCall{.method = c.method};
            EXPECT_TRUE(textCall.RunText().Empty());
        }
    }
}

TEST(HttpRequestTest, PostAddsContentLinesOnlyWithData) {
    const std::string url = "tts.example.com/bin/say?t=1";
    const std::string defaults = DefaultLines(url);
    const std::string contentType = "Content-Type: application/x-www-form-urlencoded\r\n";
    struct Case { Text method, headers, postData; std::string sentHeaders, sentData; } cases[] = {
        {"POST", Text(), "a=1&b=2", defaults + contentType + "Content-Length: 7\r\n", "a=1&b=2"},
        {"post", "content-type: text/plain\r\n", "x", "content-type: text/plain\r\n" + defaults +
                                                          "Content-Length: 1\r\n", "x"},
        // The length line goes in even beside the caller's own.
        {"POST", "Content-Length: 99\r\n", "ab", "Content-Length: 99\r\n" + defaults + contentType +
                                                     "Content-Length: 2\r\n", "ab"},
        {"POST", "", "\xC4\xE3\xBA\xC3" /* 你好 */, defaults + contentType + "Content-Length: 4\r\n",
         "\xC4\xE3\xBA\xC3"},
        {"POST", Text(), Text(), defaults, ""},
        // Data given to a GET is not sent.
        {Text(), Text(), "a=1", defaults, ""},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.sentHeaders);
        FakeInternet fake;
        Call call{.method = c.method, .headers = c.headers, .postData = c.postData};
        call.Run();
        EXPECT_EQ(fake.log[3], SendLine(c.sentHeaders, c.sentData));
        EXPECT_EQ(call.headers.Str(), c.sentHeaders);
    }
}

TEST(HttpRequestTest, DefaultLinesAreAddedOnlyWhereTheirMarkerIsMissing) {
    const std::string url = "http://h/p";
    struct Case { Text headers; std::string result; } cases[] = {
        // No separator is put in: the first default line is glued onto an unfinished last line.
        {"X-A: 1", "X-A: 1" + DefaultLines(url)},
        {"accept: text/html\r\n", "accept: text/html\r\nReferer: " + url + "\r\n" + kLanguageLine},
        {"ACCEPT-LANGUAGE: en\r\n", "ACCEPT-LANGUAGE: en\r\n" + kAcceptLine + "Referer: " + url + "\r\n"},
        // A marker counts wherever it stands, inside another line's value too.
        {"X-Note: Referer: none\r\n", "X-Note: Referer: none\r\n" + kAcceptLine + kLanguageLine},
        {"Accept: a\r\nReferer: b\r\nAccept-Language: c\r\n", "Accept: a\r\nReferer: b\r\nAccept-Language: c\r\n"},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.headers.Str());
        FakeInternet fake;
        Call call{.url = Text(url.c_str()), .headers = c.headers};
        call.Run();
        EXPECT_EQ(call.headers.Str(), c.result);
        EXPECT_EQ(fake.log[3], SendLine(c.result));
    }
}

TEST(HttpRequestTest, BlankProxyMeansDirectAndAnyOtherGoesOverAsGiven) {
    const std::string open = "InternetOpenA(\"Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)\", ";
    struct Case { Text proxy; std::string call; } cases[] = {
        {Text(), kOpenDirect},
        {"", kOpenDirect},
        {"   ", kOpenDirect},
        {"\xA1\xA1 \xA1\xA1" /* 　 　 */, kOpenDirect},
        {"proxy.lan:3128", open + "3, \"http=proxy.lan:3128\", null, 0)"},
        {" proxy.lan:3128 ", open + "3, \"http= proxy.lan:3128 \", null, 0)"},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.proxy.Str());
        FakeInternet fake;
        Call call{.proxy = c.proxy};
        call.Run();
        EXPECT_EQ(fake.log[0], c.call);
    }
}

TEST(HttpRequestTest, EachFailedOpenClosesWhatWasOpenedInOrderAndTouchesNothing) {
    const std::string connect = "InternetConnectA(internet, \"tts.example.com\", 80, \"\", \"\", 3, 0, 0)";
    const std::string request =
        "HttpOpenRequestA(connection, null, \"/bin/say?t=1\", \"HTTP/1.1\", null, null, 0x80000000, 0)";
    struct Case { bool open, connect, request; Log log; } cases[] = {
        {true, false, false, {kOpenDirect}},
        {false, true, false, {kOpenDirect, connect, kCloseAll[2]}},
        {false, false, true, {kOpenDirect, connect, request, kCloseAll[1], kCloseAll[2]}},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.log.size());
        FakeInternet fake;
        fake.failOpen = c.open;
        fake.failConnect = c.connect;
        fake.failRequest = c.request;
        Call call{.headers = "X-A: 1\r\n"};
        EXPECT_EQ(call.Run().View(), Zeros(255));
        EXPECT_EQ(fake.log, c.log);
        EXPECT_EQ(call.headers.Str(), "X-A: 1\r\n");
        EXPECT_EQ(call.responseHeaders.Str(), "untouched");

        FakeInternet again;
        again.failOpen = c.open;
        again.failConnect = c.connect;
        again.failRequest = c.request;
        Call textCall;
        EXPECT_TRUE(textCall.RunText().Empty());
    }
}

#ifndef _WIN32  // Windows has the real library
TEST(HttpRequestTest, WithoutAnInternetLibraryTheNativeBuildFails) {
    Call call;
    EXPECT_EQ(call.Run().View(), Zeros(255));
    EXPECT_TRUE(call.headers.Empty());
}
#endif

TEST(HttpRequestTest, BodyIsKeptWholeAndTextStopsAtItsFirstZeroByte) {
    std::string big(5000, 'x');
    big[4999] = 'y';
    struct Case { std::deque<std::string> chunks; std::string body, text; int reads; } cases[] = {
        {{std::string("ab\0cd", 5), "ef"}, std::string("ab\0cdef", 7), "ab", 3},
        {{std::string("\0z", 2)}, std::string("\0z", 2), "", 2},
        {{big}, big, big, 4},  // read as 2048 + 2048 + 904
        {{}, "", "", 1},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.body.size());
        FakeInternet fake;
        fake.bodyChunks = c.chunks;
        Call call;
        EXPECT_EQ(call.Run().View(), c.body);
        EXPECT_EQ(fake.Count("InternetReadFile(request, 2048)"), c.reads);
        EXPECT_EQ(fake.Count("PumpEvents"), c.reads);

        FakeInternet again;
        again.bodyChunks = c.chunks;
        Call textCall;
        EXPECT_EQ(textCall.RunText().Str(), c.text);
    }
}

TEST(HttpRequestTest, CookiesAreStoredAfterTheHandlesCloseWithAPumpAfterEveryLine) {
    FakeInternet fake;
    fake.rawHeaders =
        "HTTP/1.1 200 OK\r\n"
        "Set-Cookie: lang=zh; path=/\r\n"
        "set-cookie: sid=a=b\r\n"
        "Set-Cookie: flag\r\n"
        "X-Info: Set-Cookie: k=v\r\n"  // the marker inside a value counts, and 12 bytes go from the line's start
        "Set-Cookie: =empty\r\n"
        "\r\n";
    Call call{.url = "http://Www.Example.COM:8080/x"};
    call.Run();

    EXPECT_EQ(fake.From("InternetCloseHandle"),
              (Log{
                  kCloseAll[0], kCloseAll[1], kCloseAll[2],
                  "PumpEvents",
                  "InternetSetCookieA(\"http://www.example.com\", \"lang\", \"zh; path=/\")",
                  "PumpEvents",
                  "InternetSetCookieA(\"http://www.example.com\", \"sid\", \"a=b\")",
                  "PumpEvents",
                  "InternetSetCookieA(\"http://www.example.com\", null, \"flag\")",
                  "PumpEvents",
                  "InternetSetCookieA(\"http://www.example.com\", \"Cookie: k\", \"v\")",
                  "PumpEvents",
                  "InternetSetCookieA(\"http://www.example.com\", null, \"empty\")",
                  "PumpEvents",
                  "PumpEvents",
              }));
    EXPECT_EQ(call.responseHeaders.Str(), fake.rawHeaders);  // the raw text, not the last line read
}

TEST(HttpRequestTest, CookieStepEndsWhateverTheHeaderTextHolds) {
    struct Case { std::string raw; Log cookies; std::string responseHeaders; } cases[] = {
        // A 0x1A byte ends its line and is stepped over: the lines behind it are still read.
        {"HTTP/1.1 200 OK\r\nSet-Cookie: a=1\x1A; path=/\r\nSet-Cookie: b=2\r\n\r\n",
         {"\"a\", \"1\"", "\"b\", \"2\""},
         "HTTP/1.1 200 OK\r\nSet-Cookie: a=1\x1A; path=/\r\nSet-Cookie: b=2\r\n\r\n"},
        {"Set-Cookie: a=1\r\n\x1A\x1A\x1ASet-Cookie: b=2\x1A", {"\"a\", \"1\"", "\"b\", \"2\""},
         "Set-Cookie: a=1\r\n\x1A\x1A\x1ASet-Cookie: b=2\x1A"},
        // The header text ends at the first zero byte the library writes: its terminator.
        {std::string("Set-Cookie: a=1\r\n\0Set-Cookie: b=2\r\n", 35), {"\"a\", \"1\""}, "Set-Cookie: a=1\r\n"},
        // No line end at all, and a lead byte just before the end.
        {"Set-Cookie: c=\xD6\xD0\xCE\xC4\xB5", {"\"c\", \"\xD6\xD0\xCE\xC4\xB5\""}, "Set-Cookie: c=\xD6\xD0\xCE\xC4\xB5"},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.raw);
        FakeInternet fake;
        fake.rawHeaders = c.raw;
        Call call{.url = "h/"};
        call.Run();
        Log cookies, expected;
        for (const auto& line : fake.log) {
            if (line.rfind("InternetSetCookieA", 0) == 0) cookies.push_back(line);
        }
        for (const auto& pair : c.cookies) expected.push_back("InternetSetCookieA(\"http://h\", " + pair + ")");
        EXPECT_EQ(cookies, expected);
        EXPECT_EQ(call.responseHeaders.Str(), c.responseHeaders);
    }
}

TEST(HttpRequestTest, LongHeaderTextIsAskedForAgainWithTheSizeNamed) {
    const std::string long3k =
        "HTTP/1.1 200 OK\r\nX-Filler: " + std::string(3000, 'f') + "\r\nSet-Cookie: late=1\r\n\r\n";
    struct Case { std::string raw; Log queries; } cases[] = {
        {std::string(1023, 'h'), {"HttpQueryInfoA(request, 22, 1024, null)"}},
        {std::string(1024, 'h'), {"HttpQueryInfoA(request, 22, 1024, null)", "HttpQueryInfoA(request, 22, 1025, null)"}},
        {long3k, {"HttpQueryInfoA(request, 22, 1024, null)",
                  "HttpQueryInfoA(request, 22, " + std::to_string(long3k.size() + 1) + ", null)"}},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.raw.size());
        FakeInternet fake;
        fake.rawHeaders = c.raw;
        Call call{.url = "h/"};
        call.Run();
        Log queries;
        for (const auto& line : fake.log) {
            if (line.rfind("HttpQueryInfoA", 0) == 0) queries.push_back(line);
        }
        EXPECT_EQ(queries, c.queries);
        EXPECT_EQ(call.responseHeaders.Str(), c.raw);
        EXPECT_EQ(fake.Count("InternetSetCookieA"), c.raw.find("late=1") != std::string::npos ? 1 : 0);
    }
}

TEST(HttpRequestTest, FailedHeaderQueryLeavesTheBlankBufferAndNoCookie) {
    FakeInternet fake;
    fake.headerQueryFails = true;
    fake.bodyChunks = {"body"};
    Call call;
    EXPECT_EQ(call.Run().View(), "body");
    EXPECT_EQ(call.responseHeaders.Str(), std::string(1024, ' '));
    EXPECT_EQ(fake.Count("InternetSetCookieA"), 0);
}

}  // namespace
