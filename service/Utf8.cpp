#include "Utf8.h"

std::optional<size_t> CountUtf8CodePoints(std::string_view bytes) {
  size_t count = 0;
  size_t i = 0;
  while (i < bytes.size()) {
    const auto lead = static_cast<unsigned char>(bytes[i]);
    size_t length;
    char32_t value;
    char32_t smallest;
    if (lead < 0x80) {
      length = 1, value = lead, smallest = 0;
    } else if ((lead & 0xE0) == 0xC0) {
      length = 2, value = lead & 0x1F, smallest = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
      length = 3, value = lead & 0x0F, smallest = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
      length = 4, value = lead & 0x07, smallest = 0x10000;
    } else {
      return std::nullopt;
    }
    if (bytes.size() - i < length) return std::nullopt;
    for (size_t k = 1; k < length; ++k) {
      const auto next = static_cast<unsigned char>(bytes[i + k]);
      if ((next & 0xC0) != 0x80) return std::nullopt;
      value = (value << 6) | (next & 0x3F);
    }
    if (value < smallest || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return std::nullopt;
    i += length;
    ++count;
  }
  return count;
}
