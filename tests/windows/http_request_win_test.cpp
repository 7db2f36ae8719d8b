// The HTTP request with the system's internet library against the scripted server on loopback:
// what goes over the wire, and what comes back.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "ScriptedServer.h"
#include "http/HttpRequest.h"
#include "http/Internet.h"
#include "sys/Win.h"

namespace {

using namespace std::string_literals;

const std::string kAcceptLine =
    "Accept: image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, application/x-shockwave-flash, "
    "application/vnd.ms-excel, application/vnd.ms-powerpoint, application/msword, */*\r\n";
const std::string kAgentLine = "User-Agent: Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)\r\n";

class HttpWinTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(server.Port(), 0) << "run through tests/http/with_server.sh";
        server.Take();  // what earlier tests in this process left behind
    }

    // The address of path on the server, without "http://" unless asked for.
    std::string Url(const std::string& path, bool scheme = false) const {
        return (scheme ? "http://" : "") + server.HostAndPort() + path;
    }
    std::string LocalhostUrl(const std::string& path) const {
        return "localhost:" + std::to_string(server.Port()) + path;
    }
    void AnswerWith(const std::string& path, const std::string& bytes) {
        ASSERT_TRUE(server.Answer(path, Script().Send(bytes)));
    }
    Bytes Get(const std::string& url) {
        Text headers;
        return HttpRequest(Text(url.c_str()), Text(), Text(), headers, Text(), responseHeaders);
    }

    ScriptedServer server;
    Text responseHeaders;
};

// A value no earlier run can have left in the prefix's cookie store.
std::string Fresh(const char* stem) { return stem + std::to_string(GetTickCount64()); }

// The library's cookie reader, from the copy of the library the request loaded (not one that may
// lie beside the test program).
std::string CookieFor(const std::string& url) {
    using GetCookie = BOOL(WINAPI*)(LPCSTR, LPCSTR, LPSTR, LPDWORD);
    HMODULE library = GetModuleHandleW(L"wininet.dll");
    FARPROC found = library ? GetProcAddress(library, "InternetGetCookieA") : nullptr;
    auto get = reinterpret_cast<GetCookie>(reinterpret_cast<void*>(found));
    if (!get) return "(no cookie reader)";
    char buf[4096] = {};
    DWORD size = sizeof buf;
    return get(url.c_str(), nullptr, buf, &size) ? std::string(buf) : std::string();
}

TEST_F(HttpWinTest, PlainGetSendsTheDefaultLinesInOrder) {
    struct Case { bool scheme; } cases[] = {{false}, {true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.scheme);
        AnswerWith("/get?t=%E4%BD%A0", AnswerHead("", 5) + "hello");
        std::string url = Url("/get?t=%E4%BD%A0", c.scheme);

        EXPECT_EQ(Get(url).View(), "hello");

        // The Referer repeats the URL as given, with or without "http://"; the Host carries the port.
        std::vector<std::string> requests = server.Take();
        ASSERT_EQ(requests.size(), 1u);
        EXPECT_EQ(requests[0], "GET /get?t=%E4%BD%A0 HTTP/1.1\r\nHost: " + server.HostAndPort() + "\r\n" +
                                   kAgentLine + kAcceptLine + "Referer: " + url + "\r\nAccept-Language: zh-cn\r\n\r\n");
        EXPECT_EQ(responseHeaders.Str(), AnswerHead("", 5));
    }
}

TEST_F(HttpWinTest, PostSendsItsDataWithItsLength) {
    AnswerWith("/post", AnswerHead("", 2) + "ok");
    Text headers = "X-Mine: 1\r\n";
    const char data[] = "t=%E4%BD%A0&v=1";
    Bytes body = HttpRequest(Text(Url("/post").c_str()), "POST", Text(), headers, data, responseHeaders);

    EXPECT_EQ(body.View(), "ok");
    std::vector<std::string> requests = server.Take();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0], "POST /post HTTP/1.1\r\nHost: " + server.HostAndPort() + "\r\n" + kAgentLine +
                               "X-Mine: 1\r\n" + kAcceptLine + "Referer: " + Url("/post") +
                               "\r\nAccept-Language: zh-cn\r\nContent-Type: application/x-www-form-urlencoded\r\n"
                               "Content-Length: 15\r\n\r\n" + data);
}

// The library keeps cookies of its own accord, under the request's folder (/dir/ here); the ones the
// request stores itself are for the whole host, so only they show up at the top. The cookie tests go
// to "localhost", so that their cookies are not sent along by the tests that check the exact request.
TEST_F(HttpWinTest, CookiesAreStoredForTheHostWithoutItsPort) {
    std::string lang = Fresh("zh"), flag = Fresh("flag");
    AnswerWith("/dir/cookie", AnswerHead("Set-Cookie: tvlang=" + lang + "\r\nSet-Cookie: " + flag + "\r\n", 0));

    Get(LocalhostUrl("/dir/cookie"));

    std::string jar = CookieFor("http://localhost/");
    EXPECT_NE(jar.find("tvlang=" + lang), std::string::npos) << jar;
    EXPECT_NE(jar.find(flag), std::string::npos) << jar;
}

TEST_F(HttpWinTest, LongResponseHeadersKeepTheCookieAtTheirEnd) {
    std::string late = Fresh("late");
    std::string lines = "X-Filler: " + std::string(3072, 'f') + "\r\nSet-Cookie: tvlate=" + late + "\r\n";
    AnswerWith("/dir/long", AnswerHead(lines, 2) + "ok");

    EXPECT_EQ(Get(LocalhostUrl("/dir/long")).View(), "ok");

    EXPECT_GT(TextLength(responseHeaders), 3072);
    EXPECT_GT(FindText(responseHeaders, Text(("Set-Cookie: tvlate=" + late + "\r\n").c_str())), 3072);
    EXPECT_NE(CookieFor("http://localhost/").find("tvlate=" + late), std::string::npos);
}

TEST_F(HttpWinTest, ChunkedBodyWithAZeroByteComesBackWhole) {
    const std::string body = "ab\0cd\xC4\xE3"s;
    AnswerWith("/zero", AnswerHead("Transfer-Encoding: chunked\r\n", -1) + "3\r\nab\0\r\n4\r\ncd\xC4\xE3\r\n0\r\n\r\n"s);
    EXPECT_EQ(Get(Url("/zero")).View(), body);

    AnswerWith("/zero", AnswerHead("", 7) + body);
    Text headers;
    EXPECT_EQ(HttpRequestText(Text(Url("/zero").c_str()), Text(), Text(), headers, Text(), responseHeaders).Str(),
              "ab");
}

TEST_F(HttpWinTest, FiveMebibyteBody) {
    const uint64_t size = 5 << 20;
    ASSERT_TRUE(server.Answer("/big", Script().Send(AnswerHead("", size)).Fill(size - 1, 'x').Fill(1, 'y')));
    Bytes body = Get(Url("/big"));
    ASSERT_EQ(body.Length(), static_cast<int>(size));
    EXPECT_EQ(body.View().find_first_not_of('x'), size - 1);
    EXPECT_EQ(body.View().back(), 'y');
}

TEST_F(HttpWinTest, DroppedConnectionGivesThePartRead) {
    ASSERT_TRUE(server.Answer("/cut", Script().Send(AnswerHead("", 10000)).Fill(3000, 'p').Sleep(100).Close()));
    Bytes body = Get(Url("/cut"));
    EXPECT_EQ(body.View(), std::string(3000, 'p'));
}

TEST_F(HttpWinTest, UnreachablePortLooksLikeAnEmptyAnswer) {
    std::string url = "127.0.0.1:" + std::to_string(UnusedPort()) + "/x";
    Bytes body = Get(url);
    EXPECT_TRUE(body.Empty());  // not the 255 zero bytes of a request that could not be made
    Text headers;
    EXPECT_TRUE(HttpRequestText(Text(url.c_str()), Text(), Text(), headers, Text(), responseHeaders).Empty());
}

// Posts a message to a window as soon as the first chunk of the first request's body has been read,
// and counts what that request has read; everything else goes to the system's library.
class PostAfterFirstRead : public InternetLibrary {
public:
    HWND window = nullptr;
    InternetHandle outer = nullptr;
    uint32_t outerRead = 0;

    InternetHandle InternetOpenA(const char* a, uint32_t t, const char* p, const char* b, uint32_t f) override {
        return lib_.InternetOpenA(a, t, p, b, f);
    }
    InternetHandle InternetConnectA(InternetHandle i, const char* s, uint16_t p, const char* u, const char* w,
                                    uint32_t v, uint32_t f, uintptr_t c) override {
        return lib_.InternetConnectA(i, s, p, u, w, v, f, c);
    }
    InternetHandle HttpOpenRequestA(InternetHandle c, const char* v, const char* o, const char* h, const char* r,
                                    const char** a, uint32_t f, uintptr_t x) override {
        InternetHandle request = lib_.HttpOpenRequestA(c, v, o, h, r, a, f, x);
        if (!outer) outer = request;
        return request;
    }
    bool HttpSendRequestA(InternetHandle r, const char* h, uint32_t n, const void* o, uint32_t m) override {
        return lib_.HttpSendRequestA(r, h, n, o, m);
    }
    bool InternetReadFile(InternetHandle f, void* b, uint32_t n, uint32_t* read) override {
        bool ok = lib_.InternetReadFile(f, b, n, read);
        if (f == outer) {
            if (outerRead == 0 && *read > 0) PostMessageW(window, WM_APP, 0, 0);
            outerRead += *read;
        }
        return ok;
    }
    QueryAnswer HttpQueryInfoA(InternetHandle r, uint32_t l, void* b, uint32_t* n, uint32_t* i) override {
        return lib_.HttpQueryInfoA(r, l, b, n, i);
    }
    bool InternetCloseHandle(InternetHandle h) override { return lib_.InternetCloseHandle(h); }
    bool InternetSetCookieA(const char* u, const char* n, const char* d) override {
        return lib_.InternetSetCookieA(u, n, d);
    }

private:
    InternetLibrary& lib_ = PlatformInternetLibrary();
};

std::function<void()> gOnApp;

LRESULT CALLBACK AppWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_APP && gOnApp) {
        gOnApp();
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

TEST_F(HttpWinTest, NestedRequestRunsToItsEndInsideTheSlowBodyOfAnother) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = AppWindowProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"TarvinelHttpTest";
    RegisterClassW(&wc);
    HWND window = CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance,
                                  nullptr);
    ASSERT_NE(window, nullptr);

    // The outer body stops half-way until the nested request has reached the server.
    ASSERT_TRUE(server.Answer("/outer", Script()
                                            .Send(AnswerHead("", 8192))
                                            .Fill(4096, 'a')
                                            .Sleep(200)
                                            .Wait("/nested", 10000)
                                            .Fill(4096, 'b')));
    AnswerWith("/nested", AnswerHead("", 6) + "nested");

    PostAfterFirstRead library;
    library.window = window;
    InternetLibrary* previous = SetInternetLibraryForTesting(&library);
    std::vector<std::string> events;
    gOnApp = [&] {
        events.push_back("handler after " + std::to_string(library.outerRead));
        Text headers, response;
        Bytes nested = HttpRequest(Text(Url("/nested").c_str()), Text(), Text(), headers, Text(), response);
        events.push_back("nested " + std::string(nested.View()));
    };
    Bytes outer = Get(Url("/outer"));
    events.push_back("outer " + std::to_string(outer.Length()));
    gOnApp = nullptr;
    SetInternetLibraryForTesting(previous);
    DestroyWindow(window);

    EXPECT_EQ(events, (std::vector<std::string>{"handler after 2048", "nested nested", "outer 8192"}));
    EXPECT_EQ(outer.View(), std::string(4096, 'a') + std::string(4096, 'b'));
    std::vector<std::string> requests = server.Take();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].substr(0, 11), "GET /outer ");
    EXPECT_EQ(requests[1].substr(0, 12), "GET /nested ");
}

}  // namespace
