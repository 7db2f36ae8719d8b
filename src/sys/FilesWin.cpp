#include "sys/Owner.h"
#include "sys/ProgramPath.h"
#include "sys/Wide.h"
#include "util/Platform.h"

namespace {

class WindowsFileSystem final : public FileSystem {
public:
    Text RunDirectory() override { return runDirectory_; }

    bool FileExists(const Text& name) override {
        if (name.Empty()) return false;
        WIN32_FIND_DATAW found;
        FindOwner search(FindFirstFileW(WideArg(name).Get(), &found));
        return static_cast<bool>(search);
    }

    bool CreateDirectory(const Text& name) override {
        if (name.Empty()) return false;
        return CreateDirectoryW(WideArg(name).Get(), nullptr) != 0;
    }

private:
    // Fixed once: the first use is at start-up.
    const Text runDirectory_ = RunDirectoryFromModulePath(ProgramPath());
};

}  // namespace

FileSystem& PlatformFileSystem() {
    static WindowsFileSystem fs;
    return fs;
}
