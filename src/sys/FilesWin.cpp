#include <vector>

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

    Bytes ReadFile(const Text& name) override {
        if (name.Empty()) return Bytes();
        KernelHandle file(CreateFileW(WideArg(name).Get(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file.Get() == INVALID_HANDLE_VALUE) {
            file.Release();
            return Bytes();
        }
        std::vector<uint8_t> data;
        uint8_t buffer[16384];
        DWORD got = 0;
        while (::ReadFile(file.Get(), buffer, sizeof buffer, &got, nullptr) && got > 0) {
            data.insert(data.end(), buffer, buffer + got);
        }
        return Bytes(std::move(data));
    }

    bool MoveFile(const Text& from, const Text& to) override {
        if (from.Empty() || to.Empty()) return false;
        return MoveFileExW(WideArg(from).Get(), WideArg(to).Get(), 0) != 0;  // 0: never replaces `to`
    }

    bool DeleteFile(const Text& name) override {
        if (name.Empty()) return false;
        return DeleteFileW(WideArg(name).Get()) != 0;
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
