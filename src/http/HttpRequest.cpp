#include "http/HttpRequest.h"

#include <algorithm>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "http/Internet.h"
#include "http/Url.h"
#include "util/MemoryStream.h"
#include "util/Pump.h"

namespace {

constexpr int kFailureLength = 255;
constexpr uint32_t kReadChunk = 2048;
constexpr size_t kHeaderBuffer = 1024;

const char kUserAgent[] = "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)";
const char kAcceptLine[] =
    "Accept: image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, application/x-shockwave-flash, "
    "application/vnd.ms-excel, application/vnd.ms-powerpoint, application/msword, */*\r\n";
const char kLanguageLine[] = "Accept-Language: zh-cn\r\n";
const char kContentTypeLine[] = "Content-Type: application/x-www-form-urlencoded\r\n";
const char kCookieMarker[] = "Set-Cookie: ";
constexpr int kCookieMarkerLength = 12;

// Owns one handle of the library; handles declared in opening order close in the reverse order.
class InternetOwner {
public:
    InternetOwner(InternetLibrary& library, InternetHandle handle) : library_(library), handle_(handle) {}
    ~InternetOwner() {
        if (handle_) library_.InternetCloseHandle(handle_);
    }
    InternetOwner(const InternetOwner&) = delete;
    InternetOwner& operator=(const InternetOwner&) = delete;

    InternetHandle Get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }

private:
    InternetLibrary& library_;
    InternetHandle handle_;
};

Bytes FailureResult() { return BlankBytes(kFailureLength); }

enum class Kind { Get, Post, Refused };

Kind KindOf(const Text& method) {
    Text upper = ToUpper(method);
    if (method.Empty() || upper == "GET") return Kind::Get;
    if (upper == "POST") return Kind::Post;
    return Kind::Refused;
}

bool Lacks(const Text& headers, const char* marker) { return FindText(headers, marker, 1, true) == -1; }

// A marker counts wherever it stands, also inside another line's value.
void AddDefaultLines(Text& headers, const Text& url) {
    if (Lacks(headers, "Accept: ")) headers = Concat(headers, kAcceptLine);
    if (Lacks(headers, "Referer: ")) headers = Concat(headers, "Referer: ", url, "\r\n");
    if (Lacks(headers, "Accept-Language: ")) headers = Concat(headers, kLanguageLine);
}

InternetHandle OpenInternet(InternetLibrary& library, const Text& proxy) {
    if (RemoveSpaces(proxy).Empty()) {
        return library.InternetOpenA(kUserAgent, kInternetOpenTypeDirect, nullptr, nullptr, 0);
    }
    // The proxy goes over as the caller wrote it, blanks and all.
    return library.InternetOpenA(kUserAgent, kInternetOpenTypeProxy, Concat("http=", proxy).CStr(), nullptr, 0);
}

// Appends, or says the memory ran out; nothing is appended then.
bool Append(std::vector<uint8_t>& to, const uint8_t* bytes, uint32_t count) {
    try {
        to.insert(to.end(), bytes, bytes + count);
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

// The hot path of a large answer: one pump, one read and one append per chunk, nothing else. The
// body grows in a byte array that becomes the result as it is. A memory stream would hand the body
// back as a copy, and fresh memory is dear: on a 64 MiB answer under Wine that copy alone cost
// about a sixth of all the reads.
Bytes ReadBody(InternetLibrary& library, InternetHandle request) {
    Bytes buffer = BlankBytes(static_cast<int>(kReadChunk));
    std::vector<uint8_t> body;
    for (;;) {
        PumpEvents();
        uint32_t count = 0;  // a failed read that reports nothing ends the body like its end
        library.InternetReadFile(request, buffer.Data(), kReadChunk, &count);
        count = std::min(count, kReadChunk);
        // A chunk that cannot be stored ends the body where it is, rather than leaving a gap in it.
        if (count == 0 || !Append(body, buffer.Data(), count)) break;
    }
    return Bytes(std::move(body));
}

// Header text longer than the first buffer is asked for again with the size the library names, so
// that the cookies at its end are not lost.
Text QueryRawHeaders(InternetLibrary& library, InternetHandle request) {
    std::string buffer(kHeaderBuffer, ' ');
    for (;;) {
        auto length = static_cast<uint32_t>(buffer.size());
        QueryAnswer answer =
            library.HttpQueryInfoA(request, kHttpQueryRawHeadersCrlf, buffer.data(), &length, nullptr);
        if (answer != QueryAnswer::BufferTooSmall || length <= buffer.size()) break;
        buffer.assign(length, ' ');
    }
    return Text::Of(buffer);  // the text ends at the terminator the library wrote
}

void StoreCookie(InternetLibrary& library, const Text& address, const Text& line) {
    Text rest = ReplaceAt(line, 1, kCookieMarkerLength, Text());
    int equals = FindText(rest, "=", 1, true);
    // Without "=", the name is absent (null) and the whole rest is the data.
    library.InternetSetCookieA(address.CStr(), SysText(TextLeft(rest, equals - 1)),
                               SysText(TextRight(rest, TextLength(rest) - equals)));
}

// ReadLine stops in front of a 0x1A byte without moving. Such a byte is taken for a line end and
// stepped over, so the loop always advances and the lines behind it are still seen.
void StoreCookies(InternetLibrary& library, const Text& host, const Text& rawHeaders) {
    if (FindText(rawHeaders, kCookieMarker, 1, true) <= 0) return;
    Text address = Concat("http://", host);
    StreamHandle stream = OpenStream();
    WriteText(stream, rawHeaders);
    SeekToStart(stream);
    while (!AtEnd(stream, false)) {
        if (AtEnd(stream, true)) {
            ReadBytes(stream, 1);
            continue;
        }
        Text line = ReadLine(stream);
        if (FindText(line, kCookieMarker, 1, true) > 0) StoreCookie(library, address, line);
        PumpEvents();
    }
    CloseStream(stream);
}

}  // namespace

Bytes HttpRequest(const Text& url, const Text& method, const Text& proxy, Text& headers, const Text& postData,
                  Text& responseHeaders) {
    InternetLibrary& library = Internet();
    Text path = UrlPath(url);
    Text host = UrlHost(url, false);
    Bytes body;
    {
        InternetOwner internet(library, OpenInternet(library, proxy));
        if (!internet) return FailureResult();
        // The library's port is 16 bits wide; the number goes over as it takes it, unchecked.
        auto port = static_cast<uint16_t>(UrlPort(url));
        InternetOwner connection(library, library.InternetConnectA(internet.Get(), SysText(host), port, "", "",
                                                                   kInternetServiceHttp, 0, 0));
        if (!connection) return FailureResult();
        // An empty verb goes over as null: the library's default, GET. Referer and Accept come
        // from the header lines instead.
        InternetOwner request(library, library.HttpOpenRequestA(connection.Get(),
                                                                method.Empty() ? nullptr : method.CStr(),
                                                                SysText(path), "HTTP/1.1", nullptr, nullptr,
                                                                kInternetFlagReload, 0));
        if (!request) return FailureResult();

        AddDefaultLines(headers, url);
        switch (KindOf(method)) {
            case Kind::Get:
                library.HttpSendRequestA(request.Get(), headers.CStr(), static_cast<uint32_t>(TextLength(headers)),
                                         nullptr, 0);
                break;
            case Kind::Post: {
                const void* data = nullptr;
                if (!postData.Empty()) {
                    if (Lacks(headers, "Content-Type: ")) headers = Concat(headers, kContentTypeLine);
                    headers = Concat(headers, "Content-Length: ", IntToText(TextLength(postData)), "\r\n");
                    data = postData.CStr();
                }
                library.HttpSendRequestA(request.Get(), headers.CStr(), static_cast<uint32_t>(TextLength(headers)),
                                         data, static_cast<uint32_t>(TextLength(postData)));
                break;
            }
            case Kind::Refused:
                return FailureResult();
        }

        body = ReadBody(library, request.Get());
        responseHeaders = QueryRawHeaders(library, request.Get());
    }
    StoreCookies(library, host, responseHeaders);
    return body;
}

Text HttpRequestText(const Text& url, const Text& method, const Text& proxy, Text& headers, const Text& postData,
                     Text& responseHeaders) {
    return BytesToText(HttpRequest(url, method, proxy, headers, postData, responseHeaders));
}
