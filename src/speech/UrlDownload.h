// Fetches an address into a local file, synchronously, through the system's URL moniker service.
//
// Seam: Windows binds URLDownloadToFileW from urlmon by name; the native build has none, so every
// download fails there. Tests install a downloader of their own.
#pragma once

#include "util/Text.h"

class UrlDownloader {
public:
    virtual ~UrlDownloader() = default;
    // True when the service reported success; that alone does not prove the file is whole.
    virtual bool Download(const Text& address, const Text& file) = 0;
};

UrlDownloader& Downloader();
// Replaces the downloader (null restores the platform's); returns the one it replaced.
UrlDownloader* SetUrlDownloaderForTesting(UrlDownloader* downloader);
UrlDownloader& PlatformUrlDownloader();
