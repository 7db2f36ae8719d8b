// The native build has no URL moniker service: every download fails.
#include "speech/UrlDownload.h"

namespace {
class NoDownloader : public UrlDownloader {
public:
    bool Download(const Text&, const Text&) override { return false; }
};
}  // namespace

UrlDownloader& PlatformUrlDownloader() {
    static NoDownloader none;
    return none;
}
