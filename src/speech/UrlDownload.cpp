#include "speech/UrlDownload.h"

namespace {
UrlDownloader* gDownloader = nullptr;
}

UrlDownloader& Downloader() { return gDownloader ? *gDownloader : PlatformUrlDownloader(); }

UrlDownloader* SetUrlDownloaderForTesting(UrlDownloader* downloader) {
    UrlDownloader* previous = gDownloader;
    gDownloader = downloader;
    return previous;
}
