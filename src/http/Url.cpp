#include "http/Url.h"

Text UrlHost(const Text& url, bool keepPort) {
    int s = FindText(url, "http://", kNoStart, false);
    int start = s == -1 ? 1 : s + 7;
    int e = FindText(url, "/", start, false);
    Text host = TextMid(url, start, e == -1 ? TextLength(url) : e - start);
    if (!keepPort) {
        int k = FindText(host, ":", kNoStart, false);
        if (k != -1) host = TextLeft(host, k - 1);
    }
    return ToLower(host);
}

int UrlPort(const Text& url) {
    Text h = UrlHost(url, true);
    int k = FindText(h, ":", kNoStart, false);
    if (k == -1) return 80;
    return TruncToInt(ToNumber(TextRight(h, TextLength(h) - k)));
}

Text UrlPath(const Text& url) {
    Text h = UrlHost(url, false);
    int a = FindText(url, h, 1, true);
    int b = FindText(url, "/", a, true);
    if (b <= 0) return "/";
    return TextRight(url, TextLength(url) - b + 1);
}
