// Cuts a fuzzer's bytes into the arguments of one call.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

class FuzzInput {
public:
    FuzzInput(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    int Int() {
        int32_t v = 0;
        size_t n = size_ < sizeof v ? size_ : sizeof v;
        memcpy(&v, data_, n);
        Advance(n);
        return v;
    }
    bool Bool() { return Int() & 1; }
    // Bytes up to the next 0xFF 0xFE separator, or the rest.
    std::string_view Piece() {
        std::string_view all(reinterpret_cast<const char*>(data_), size_);
        size_t sep = all.find("\xFF\xFE");
        std::string_view piece = all.substr(0, sep);
        Advance(sep == std::string_view::npos ? size_ : sep + 2);
        return piece;
    }

private:
    void Advance(size_t n) { data_ += n; size_ -= n; }
    const uint8_t* data_;
    size_t size_;
};
