// In-memory stand-ins for what a generation touches besides the internet library: the file system
// (run directory C:\app), the URL download, the clock and the window's three values.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "speech/ControlAccess.h"
#include "speech/UrlDownload.h"
#include "util/Clock.h"
#include "util/Files.h"

class MemoryControls : public ControlAccess {
public:
    Text input, message, caption = "\xBF\xAA\xCA\xBC\xC9\xFA\xB3\xC9";  // 开始生成
    std::vector<std::string> writes;  // "message:..." and "caption:..." in order

    Text InputText() override { return input; }
    Text MessageText() override { return message; }
    void SetMessageText(const Text& t) override { message = t; writes.push_back("message:" + t.Str()); }
    Text StartCaption() override { return caption; }
    void SetStartCaption(const Text& t) override { caption = t; writes.push_back("caption:" + t.Str()); }
};

class MemoryFileSystem : public FileSystem {
public:
    std::map<std::string, std::string> files;
    std::set<std::string> directories{"C:\\app"};
    bool refuseDirectories = false;

    MemoryFileSystem() { previous_ = SetFileSystemForTesting(this); }
    ~MemoryFileSystem() override { SetFileSystemForTesting(previous_); }

    Text RunDirectory() override { return "C:\\app"; }
    bool FileExists(const Text& name) override { return files.count(name.Str()) || directories.count(name.Str()); }
    bool CreateDirectory(const Text& name) override {
        if (refuseDirectories || FileExists(name)) return false;
        directories.insert(name.Str());
        return true;
    }
    Bytes ReadWholeFile(const Text& name) override {
        auto it = files.find(name.Str());
        return it == files.end() ? Bytes() : Bytes::Of(it->second);
    }
    bool RenameFile(const Text& from, const Text& to) override {
        if (!files.count(from.Str()) || FileExists(to)) return false;
        files[to.Str()] = files[from.Str()];
        files.erase(from.Str());
        return true;
    }
    bool RemoveFile(const Text& name) override { return files.erase(name.Str()) > 0; }
    bool HasFolder(const std::string& folder) const { return directories.count(folder) > 0; }

private:
    FileSystem* previous_;
};

// Serves addresses from a table into the memory file system, as the URL moniker service would;
// `reportSuccess` makes it claim success whatever it wrote, as Wine does for a body cut short.
class MemoryDownloader : public UrlDownloader {
public:
    explicit MemoryDownloader(MemoryFileSystem& fs) : fs_(fs) { previous_ = SetUrlDownloaderForTesting(this); }
    ~MemoryDownloader() override { SetUrlDownloaderForTesting(previous_); }

    std::map<std::string, std::string> served;
    std::vector<std::string> calls;  // "address -> file"

    bool Download(const Text& address, const Text& file) override {
        calls.push_back(address.Str() + " -> " + file.Str());
        auto it = served.find(address.Str());
        if (it == served.end()) return false;
        size_t slash = file.Str().rfind('\\');
        if (!fs_.HasFolder(file.Str().substr(0, slash))) return false;
        fs_.files[file.Str()] = it->second;
        return true;
    }

private:
    MemoryFileSystem& fs_;
    UrlDownloader* previous_;
};

class FixedClock {
public:
    explicit FixedClock(LocalTime t) {
        now_ = t;
        previous_ = SetClockForTesting([] { return now_; });
    }
    ~FixedClock() { SetClockForTesting(previous_); }
    static void Set(LocalTime t) { now_ = t; }

private:
    static inline LocalTime now_;
    ClockFunction previous_;
};
