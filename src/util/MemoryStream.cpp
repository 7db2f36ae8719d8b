#include "util/MemoryStream.h"

#include <cstdlib>
#include <cstring>
#include <memory>
#include <unordered_map>

namespace {

constexpr size_t kStorageStep = 1024;

struct FreeDeleter {
    void operator()(uint8_t* p) const { free(p); }
};

struct Stream {
    std::unique_ptr<uint8_t, FreeDeleter> data;
    size_t capacity = 0;  // always a multiple of kStorageStep, at least length
    size_t length = 0;
    size_t position = 0;
};

// Streams live on the window's thread only, so the set needs no lock.
std::unordered_map<StreamHandle, std::unique_ptr<Stream>>& OpenStreams() {
    static std::unordered_map<StreamHandle, std::unique_ptr<Stream>> streams;
    return streams;
}

Stream* Find(StreamHandle s) {
    auto& streams = OpenStreams();
    auto it = streams.find(s);
    return it == streams.end() ? nullptr : it->second.get();
}

size_t RoundUpToStep(size_t n) { return (n + kStorageStep - 1) / kStorageStep * kStorageStep; }

// Grows geometrically: stepping by 1024 bytes alone would copy a body of n bytes n/1024 times.
// realloc lets large blocks grow in place or be remapped instead of copied.
bool Reserve(Stream& st, size_t needed) {
    if (needed <= st.capacity) return true;
    size_t grown = st.capacity > SIZE_MAX / 2 ? needed : st.capacity * 2;
    size_t capacity = RoundUpToStep(std::max(needed, grown));
    if (capacity < needed) return false;  // rounding overflowed
    auto* data = static_cast<uint8_t*>(realloc(st.data.get(), capacity));
    if (!data) return false;  // the old block is still there, untouched
    (void)st.data.release();
    st.data.reset(data);
    st.capacity = capacity;
    return true;
}

bool IsLeadByte(uint8_t b) { return b >= 0x80; }

}  // namespace

StreamHandle OpenStream() {
    static StreamHandle next = 0;
    auto& streams = OpenStreams();
    do {
        next++;
    } while (next == 0 || streams.count(next));
    streams.emplace(next, std::make_unique<Stream>());
    return next;
}

bool WriteParts(StreamHandle s, std::initializer_list<std::string_view> parts) {
    Stream* st = Find(s);
    if (!st) return false;
    size_t total = 0;
    for (std::string_view p : parts) total += p.size();
    if (total > SIZE_MAX - st->position || !Reserve(*st, st->position + total)) return false;
    for (std::string_view p : parts) {
        if (p.empty()) continue;
        memcpy(st->data.get() + st->position, p.data(), p.size());
        st->position += p.size();
    }
    st->length = std::max(st->length, st->position);
    return true;
}

bool SeekToStart(StreamHandle s) {
    Stream* st = Find(s);
    if (!st) return false;
    st->position = 0;
    return true;
}

Bytes ReadBytes(StreamHandle s, int n) {
    Stream* st = Find(s);
    if (!st || n <= 0 || st->position >= st->length) return Bytes();
    size_t k = std::min(static_cast<size_t>(n), st->length - st->position);
    const uint8_t* from = st->data.get() + st->position;
    st->position += k;
    return Bytes(std::vector<uint8_t>(from, from + k));
}

int StreamLength(StreamHandle s) {
    Stream* st = Find(s);
    return st ? static_cast<int>(std::min<size_t>(st->length, INT32_MAX)) : -1;
}

// A lead byte directly followed by a zero byte stands alone, as a lead byte at the very end does:
// the zero byte then ends the line like any other zero byte, so a line never carries one inside
// and the reader always makes progress or stops.
Text ReadLine(StreamHandle s) {
    Stream* st = Find(s);
    if (!st) return Text();
    const uint8_t* d = st->data.get();
    size_t end = st->length;
    size_t p = st->position;
    while (p < end) {
        uint8_t b = d[p];
        if (IsLeadByte(b)) {
            p += (p + 1 < end && d[p + 1] != 0) ? 2 : 1;
            continue;
        }
        if (b == 0x0A || b == 0x00 || b == 0x1A) break;
        p++;
    }
    size_t lineEnd = std::min(p, end);
    size_t lineStart = st->position;
    if (p < end && d[p] == 0x0A) {
        st->position = p + 1;
    } else {
        st->position = lineEnd;  // a zero or 0x1A byte is not consumed
    }
    if (lineEnd > lineStart && d[lineEnd - 1] == 0x0D) lineEnd--;
    return Text::Of(std::string_view(reinterpret_cast<const char*>(d) + lineStart, lineEnd - lineStart));
}

bool AtEnd(StreamHandle s, bool stopAtTextEnd) {
    Stream* st = Find(s);
    if (!st || st->position >= st->length) return true;
    if (!stopAtTextEnd) return false;
    uint8_t b = st->data.get()[st->position];
    return b == 0x00 || b == 0x1A;
}

void CloseStream(StreamHandle s) { OpenStreams().erase(s); }

long long StreamCapacity(StreamHandle s) {
    Stream* st = Find(s);
    return st ? static_cast<long long>(st->capacity) : -1;
}
