// A fresh folder under the Wine prefix's temporary folder, removed with everything in it at the end.
#pragma once

#include <string>

#include "util/Text.h"

class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::wstring& Wide() const { return wide_; }  // no trailing backslash
    Text Path() const;                                   // the same in code page 936
    // Names directly inside, sorted.
    std::wstring Listing(const std::wstring& sub = {}) const;

private:
    std::wstring wide_;
};
