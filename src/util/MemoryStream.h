// MemoryStream: a growable in-memory file with one read/write position, reached through a handle.
// Every operation on a handle that is not open does nothing and gives its failure value.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>

#include "util/Text.h"

using StreamHandle = uint32_t;  // 0 is never a valid handle

StreamHandle OpenStream();
bool WriteBytes(StreamHandle s, std::initializer_list<const Bytes*> parts);
bool WriteBytes(StreamHandle s, const Bytes& b);
bool WriteRaw(StreamHandle s, const void* data, size_t n);  // the write path of WriteBytes
bool WriteText(StreamHandle s, std::initializer_list<const Text*> parts);
bool WriteText(StreamHandle s, const Text& t);
bool SeekToStart(StreamHandle s);
Bytes ReadBytes(StreamHandle s, int n);
int StreamLength(StreamHandle s);
Text ReadLine(StreamHandle s);
bool AtEnd(StreamHandle s, bool stopAtTextEnd);
void CloseStream(StreamHandle s);

// The storage capacity of an open stream (a multiple of 1024, at least the length); -1 otherwise.
long long StreamCapacity(StreamHandle s);
