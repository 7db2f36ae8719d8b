// URL splitting never fails: every text gives a lower-case host, a port and a path starting with "/".
#include <cstdlib>

#include "http/Url.h"

namespace {
void Check(bool ok) {
    if (!ok) abort();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Text url = Text::Of(std::string_view(reinterpret_cast<const char*>(data), size));
    Text host = UrlHost(url, false);
    Text hostWithPort = UrlHost(url, true);
    Check(host == ToLower(host));
    Check(FindText(host, "/") == -1);
    Check(host.Length() <= hostWithPort.Length());
    (void)UrlPort(url);
    Text path = UrlPath(url);
    Check(path.Length() >= 1 && path.View()[0] == '/');
    Check(path.Length() <= std::max(url.Length(), 1));
    return 0;
}
