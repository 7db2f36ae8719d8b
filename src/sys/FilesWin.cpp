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
        FileHandle file(CreateFileW(WideArg(name).Get(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        LARGE_INTEGER size{};
        if (!file || !GetFileSizeEx(file.Get(), &size) || size.QuadPart <= 0 || size.QuadPart > kLargestRead) return Bytes();
        std::vector<uint8_t> data(static_cast<size_t>(size.QuadPart));
        DWORD read = 0;
        if (!::ReadFile(file.Get(), data.data(), static_cast<DWORD>(data.size()), &read, nullptr) || read != data.size()) {
            return Bytes();
        }
        return Bytes(std::move(data));
    }

    bool MoveFile(const Text& from, const Text& to) override {
        if (from.Empty() || to.Empty()) return false;
        return MoveFileExW(WideArg(from).Get(), WideArg(to).Get(), 0) != 0;  // no flag: never replaces `to`
    }

    bool DeleteFile(const Text& name) override {
        if (name.Empty()) return false;
        return DeleteFileW(WideArg(name).Get()) != 0;
    }

private:
    // A download is checked whole in memory; nothing the speech service sends comes near this.
    static constexpr LONGLONG kLargestRead = 256LL * 1024 * 1024;

    // Fixed once: the first use is at start-up.
    const Text runDirectory_ = RunDirectoryFromModulePath(ProgramPath());
};

}  // namespace

FileSystem& PlatformFileSystem() {
    static WindowsFileSystem fs;
    return fs;
}
