// Move-only owners of Windows handles: the handle is closed when its owner goes.
#pragma once

#include <utility>

#include "sys/Win.h"

template <typename Traits>
class Owner {
public:
    using Handle = typename Traits::Handle;

    Owner() = default;
    explicit Owner(Handle h) : h_(h) {}
    Owner(Owner&& o) noexcept : h_(std::exchange(o.h_, Traits::Invalid())) {}
    Owner& operator=(Owner&& o) noexcept {
        if (this != &o) Reset(std::exchange(o.h_, Traits::Invalid()));
        return *this;
    }
    Owner(const Owner&) = delete;
    Owner& operator=(const Owner&) = delete;
    ~Owner() { Reset(); }

    Handle Get() const { return h_; }
    explicit operator bool() const { return h_ != Traits::Invalid(); }
    Handle Release() { return std::exchange(h_, Traits::Invalid()); }
    void Reset(Handle h = Traits::Invalid()) {
        if (h_ != Traits::Invalid()) Traits::Close(h_);
        h_ = h;
    }

private:
    Handle h_ = Traits::Invalid();
};

struct ModuleTraits {
    using Handle = HMODULE;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { FreeLibrary(h); }
};
struct FindTraits {
    using Handle = HANDLE;
    static Handle Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(Handle h) { FindClose(h); }
};
struct FileTraits {  // CreateFile's failure value differs from the other kernel handles
    using Handle = HANDLE;
    static Handle Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(Handle h) { CloseHandle(h); }
};
struct KernelHandleTraits {
    using Handle = HANDLE;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { CloseHandle(h); }
};
struct WindowTraits {
    using Handle = HWND;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { DestroyWindow(h); }
};

using ModuleOwner = Owner<ModuleTraits>;
using FindOwner = Owner<FindTraits>;
using KernelHandle = Owner<KernelHandleTraits>;
using WindowOwner = Owner<WindowTraits>;
