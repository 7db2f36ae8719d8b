// The code-page seam over the system's converters, bound by name.
#include "util/CodePage.h"

#include "sys/Bound.h"

static_assert(sizeof(wchar_t) == sizeof(char16_t));

int MultiByteToUtf16(unsigned codePage, const char* src, int srcLength, char16_t* dst, int dstCapacity) {
    return bound::MultiByteToWideChar()(codePage, 0, src, srcLength, reinterpret_cast<wchar_t*>(dst),
                                        dstCapacity);
}

int Utf16ToMultiByte(unsigned codePage, const char16_t* src, int srcLength, char* dst, int dstCapacity) {
    return bound::WideCharToMultiByte()(codePage, 0, reinterpret_cast<const wchar_t*>(src), srcLength, dst,
                                        dstCapacity, nullptr, nullptr);
}
