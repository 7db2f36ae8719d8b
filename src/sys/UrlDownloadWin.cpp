// The download seam over the URL moniker service's W function, bound by name: the target file's name
// goes over as UTF-16, so a Chinese folder name arrives whole whatever the ANSI code page.
#include "speech/UrlDownload.h"
#include "sys/Bound.h"
#include "sys/Wide.h"

namespace {

class UrlMoniker final : public UrlDownloader {
public:
    bool Download(const Text& address, const Text& file) override {
        return bound::URLDownloadToFileW()(nullptr, WideArg(address).Get(), WideArg(file).Get(), 0, nullptr) == S_OK;
    }
};

}  // namespace

UrlDownloader& PlatformUrlDownloader() {
    static UrlMoniker downloader;
    return downloader;
}
