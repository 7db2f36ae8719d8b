// MemoryStream: a growable in-memory file with one read/write position, reached through a handle.
// Every operation on a handle that is not open does nothing and gives its failure value: false,
// -1, the absent text or array, or true for AtEnd.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string_view>

#include "util/Text.h"

using StreamHandle = uint32_t;  // 0 is never a valid handle

StreamHandle OpenStream();
// Writes the parts in order at the position, which moves past them. All or nothing: when memory
// runs out nothing is written and the position stays where it was.
bool WriteParts(StreamHandle s, std::initializer_list<std::string_view> parts);
inline std::string_view StreamPart(const Bytes& b) { return b.View(); }
inline std::string_view StreamPart(const Text& t) { return t.View(); }
template <typename... B>
bool WriteBytes(StreamHandle s, const B&... parts) { return WriteParts(s, {StreamPart(parts)...}); }
template <typename... T>
bool WriteText(StreamHandle s, const T&... parts) { return WriteParts(s, {StreamPart(Text(parts))...}); }
bool SeekToStart(StreamHandle s);
Bytes ReadBytes(StreamHandle s, int n);
int StreamLength(StreamHandle s);
Text ReadLine(StreamHandle s);
bool AtEnd(StreamHandle s, bool stopAtTextEnd);
void CloseStream(StreamHandle s);

// The size of the storage behind an open stream; -1 for a handle that is not open.
long long StreamCapacity(StreamHandle s);
