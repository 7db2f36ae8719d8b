#include "sys/SystemLibrary.h"

#include <string>

ModuleOwner LoadSystemLibrary(const Text& name) {
    if (name.Empty()) return ModuleOwner();
    // The system's own converter, not the bound one: binding needs this function first.
    int n = ::MultiByteToWideChar(936, 0, name.CStr(), -1, nullptr, 0);
    if (n <= 0) return ModuleOwner();
    std::wstring wide(static_cast<size_t>(n), L'\0');
    if (::MultiByteToWideChar(936, 0, name.CStr(), -1, wide.data(), n) != n) return ModuleOwner();
    return ModuleOwner(LoadLibraryExW(wide.c_str(), nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
}
