// Code-page conversion, with the calling conventions of MultiByteToWideChar and
// WideCharToMultiByte (flags 0, no default character):
// - a source length of -1 means zero-terminated, and the terminator is converted and counted;
// - a capacity of 0 asks for the number of units or bytes needed;
// - the result is that number, or 0 on failure (also when the capacity is too small).
//
// Seam: Windows calls the system functions bound by name; the native build uses glibc iconv.
#pragma once

constexpr unsigned kCodePageGbk = 936;
constexpr unsigned kCodePageUtf8 = 65001;

int MultiByteToUtf16(unsigned codePage, const char* src, int srcLength, char16_t* dst, int dstCapacity);
int Utf16ToMultiByte(unsigned codePage, const char16_t* src, int srcLength, char* dst, int dstCapacity);
