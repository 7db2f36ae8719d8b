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

    Bytes ReadWholeFile(const Text& name) override {
        if (name.Empty()) return Bytes();
        Owner<FileTraits> file(CreateFileW(WideArg(name).Get(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                           FILE_ATTRIBUTE_NORMAL, nullptr));
        LARGE_INTEGER size;
        if (!file || !GetFileSizeEx(file.Get(), &size) || size.QuadPart > 0x7FFFFFFF) return Bytes();
        Bytes data = BlankBytes(static_cast<int>(size.QuadPart));
        DWORD total = 0, read = 0;
        while (total < data.Vec().size() &&
               ::ReadFile(file.Get(), data.Data() + total, static_cast<DWORD>(data.Vec().size() - total), &read, nullptr) &&
               read > 0) {
            total += read;
        }
        data.Vec().resize(total);
        return data;
    }

    bool RenameFile(const Text& from, const Text& to) override {
        if (from.Empty() || to.Empty()) return false;
        return MoveFileExW(WideArg(from).Get(), WideArg(to).Get(), 0) != 0;  // never replaces `to`
    }

    bool RemoveFile(const Text& name) override { return !name.Empty() && DeleteFileW(WideArg(name).Get()) != 0; }

private:
    // Fixed once: the first use is at start-up.
    const Text runDirectory_ = RunDirectoryFromModulePath(ProgramPath());
};

}  // namespace

FileSystem& PlatformFileSystem() {
    static WindowsFileSystem fs;
    return fs;
}
