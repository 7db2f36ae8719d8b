// Reading lines until the end over arbitrary bytes must end, consume every byte but stop bytes,
// and give lines that hold no line feed at a character boundary and no zero byte.
#include <cstdlib>

#include "util/MemoryStream.h"

namespace {
void Check(bool ok) {
    if (!ok) abort();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    StreamHandle s = OpenStream();
    WriteBytes(s, Bytes(std::vector<uint8_t>(data, data + size)));
    SeekToStart(s);
    size_t consumed = 0;
    size_t rounds = 0;
    // Bounded as the cookie step bounds it: an empty line read while the position sits on a zero
    // or 0x1A byte means no line can follow.
    while (!AtEnd(s, false)) {
        Check(++rounds <= size + 1);
        Text line = ReadLine(s);
        Check(line.View().find('\0') == std::string_view::npos);
        consumed += static_cast<size_t>(line.Length());
        if (line.IsAbsent() && AtEnd(s, true)) break;
    }
    Check(consumed <= size);
    CloseStream(s);
    return 0;
}
