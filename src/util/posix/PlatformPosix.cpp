// The native build has no window, so there are no messages to pump; its file system answers with
// the POSIX equivalents, for tools and tests that run the core on Linux.
#include <glob.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>

#include "util/Platform.h"

void PlatformPumpEvents() {}

namespace {

class PosixFileSystem : public FileSystem {
public:
    Text RunDirectory() override {
        char path[PATH_MAX];
        ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
        if (n <= 0) return Text();
        std::string_view p(path, static_cast<size_t>(n));
        size_t slash = p.rfind('/');
        return Text::Of(p.substr(0, slash == std::string_view::npos ? 0 : slash));
    }
    bool FileExists(const Text& name) override {
        if (name.Empty()) return false;
        glob_t g{};
        bool found = glob(name.CStr(), GLOB_NOSORT, nullptr, &g) == 0 && g.gl_pathc > 0;
        globfree(&g);
        return found;
    }
    bool CreateDirectory(const Text& name) override { return !name.Empty() && mkdir(name.CStr(), 0777) == 0; }
};

}  // namespace

FileSystem& PlatformFileSystem() {
    static PosixFileSystem fs;
    return fs;
}
