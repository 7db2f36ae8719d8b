#include "util/Files.h"

#include "util/Platform.h"

namespace {
FileSystem* gFileSystem = nullptr;
FileSystem& Current() { return gFileSystem ? *gFileSystem : PlatformFileSystem(); }
}  // namespace

Text RunDirectoryFromModulePath(const Text& modulePath) {
    std::string_view path = modulePath.View();
    size_t lastBackslash = std::string_view::npos;
    for (size_t i = 0; i < path.size(); i++) {
        if (static_cast<uint8_t>(path[i]) >= 0x80) {
            i++;  // the trail byte may be 0x5C and is not a separator
        } else if (path[i] == '\\') {
            lastBackslash = i;
        }
    }
    if (lastBackslash == std::string_view::npos) return Text();
    return Text::Of(path.substr(0, lastBackslash));
}

Text RunDirectory() { return Current().RunDirectory(); }
bool FileExists(const Text& name) { return Current().FileExists(name); }
bool CreateDirectory(const Text& name) { return Current().CreateDirectory(name); }
Bytes ReadWholeFile(const Text& name) { return Current().ReadWholeFile(name); }
bool RenameFile(const Text& from, const Text& to) { return Current().RenameFile(from, to); }
bool RemoveFile(const Text& name) { return Current().RemoveFile(name); }

FileSystem* SetFileSystemForTesting(FileSystem* fs) {
    FileSystem* previous = gFileSystem;
    gFileSystem = fs;
    return previous;
}
