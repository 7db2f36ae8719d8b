// Text and Bytes: the two value types every part of Tarvinel passes around.
//
// Text is a byte string in code page 936 that never holds a zero byte. Positions are 1-based and
// count bytes; a search that finds nothing gives -1. An empty result is "absent": it behaves like ""
// everywhere, but reaches a system function as a null pointer, while a literal "" reaches it as a
// pointer to an empty string (see SysText).
//
// Bytes is a byte array with any values; elements are numbered from 1.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

class Text {
public:
    Text() = default;  // the absent text
    Text(const char* literal);  // a literal: present even when ""
    // A computed value: absent when empty; stops at the first zero byte.
    static Text Of(std::string_view bytes);
    // Present even when empty (Concat's result).
    static Text Present(std::string_view bytes);

    bool IsAbsent() const { return !present_; }
    bool Empty() const { return bytes_.empty(); }
    int Length() const { return static_cast<int>(bytes_.size()); }
    std::string_view View() const { return bytes_; }
    const std::string& Str() const { return bytes_; }
    const char* CStr() const { return bytes_.c_str(); }
    // Unsigned value of the byte at the 0-based offset.
    uint8_t At0(size_t i) const { return static_cast<uint8_t>(bytes_[i]); }

    friend bool operator==(const Text& a, const Text& b) { return a.bytes_ == b.bytes_; }

private:
    std::string bytes_;
    bool present_ = false;
};

class Bytes {
public:
    Bytes() = default;
    explicit Bytes(std::vector<uint8_t> v) : v_(std::move(v)) {}
    Bytes(std::initializer_list<uint8_t> v) : v_(v) {}
    static Bytes Of(std::string_view bytes);

    int Length() const { return static_cast<int>(v_.size()); }
    bool Empty() const { return v_.empty(); }
    // Element i (1-based) as 0..255; below 1 or above the length ends through the fatal report.
    int Element(int i) const;
    const uint8_t* Data() const { return v_.data(); }
    uint8_t* Data() { return v_.data(); }
    const std::vector<uint8_t>& Vec() const { return v_; }
    std::vector<uint8_t>& Vec() { return v_; }
    std::string_view View() const { return {reinterpret_cast<const char*>(v_.data()), v_.size()}; }

    friend bool operator==(const Bytes& a, const Bytes& b) { return a.v_ == b.v_; }

private:
    std::vector<uint8_t> v_;
};

// How a value reaches a system function: null for the absent text and the empty array.
inline const char* SysText(const Text& t) { return t.IsAbsent() ? nullptr : t.CStr(); }
inline const uint8_t* SysBytes(const Bytes& b) { return b.Empty() ? nullptr : b.Data(); }

// Text operations.
int TextLength(const Text& t);
int CompareText(const Text& a, const Text& b);
Text Concat(std::initializer_list<Text> parts);
template <typename... T>
Text Concat(const T&... parts) { return Concat({Text(parts)...}); }
Text TextLeft(const Text& t, int n);
Text TextRight(const Text& t, int n);
Text TextMid(const Text& t, int start, int n);
constexpr int kNoStart = 0;
int FindText(const Text& t, const Text& sought, int start = kNoStart, bool foldCase = false);
Text ReplaceAt(const Text& t, int start, int count, const Text& replacement = Text());
Text ToUpper(const Text& t);
Text ToLower(const Text& t);
Text RemoveSpaces(const Text& t);
Text BlankText(int n);
Text CharText(int code);
Text IntToText(int i);
Text HexText(int i);
double ToNumber(const Text& t);
// A real value turned into an integer: truncated toward zero.
int TruncToInt(double d);

// Byte operations.
int BytesLength(const Bytes& b);
Bytes BlankBytes(int n);
Bytes BytesLeft(const Bytes& b, int n);
Bytes TextToBytes(const Text& t);
Bytes TextToBytes(const Bytes& b);
Text BytesToText(const Bytes& b);
