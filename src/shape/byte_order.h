#pragma once
// Shapefile integers and doubles from and to raw bytes: headers and record headers are
// big-endian, record contents little-endian, whatever the host's order.

#include <bit>
#include <cstdint>
#include <cstring>

namespace shape::bytes {

inline uint32_t loadU32(const uint8_t* p, bool bigEndian) {
  if (bigEndian) return uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | p[3];
  return uint32_t{p[3]} << 24 | uint32_t{p[2]} << 16 | uint32_t{p[1]} << 8 | p[0];
}
inline int32_t readBE32(const uint8_t* p) {
  return static_cast<int32_t>(loadU32(p, true));
}
inline int32_t readLE32(const uint8_t* p) {
  return static_cast<int32_t>(loadU32(p, false));
}
inline double readLEDouble(const uint8_t* p) {
  uint64_t v = uint64_t{loadU32(p + 4, false)} << 32 | loadU32(p, false);
  return std::bit_cast<double>(v);
}

inline void storeU32(uint8_t* p, uint32_t v, bool bigEndian) {
  for (int i = 0; i < 4; ++i) {
    uint8_t b = static_cast<uint8_t>(v >> (8 * i));
    p[bigEndian ? 3 - i : i] = b;
  }
}
inline void writeBE32(uint8_t* p, int32_t v) {
  storeU32(p, static_cast<uint32_t>(v), true);
}
inline void writeLE32(uint8_t* p, int32_t v) {
  storeU32(p, static_cast<uint32_t>(v), false);
}
inline void writeLEDouble(uint8_t* p, double d) {
  uint64_t v = std::bit_cast<uint64_t>(d);
  storeU32(p, static_cast<uint32_t>(v), false);
  storeU32(p + 4, static_cast<uint32_t>(v >> 32), false);
}

}  // namespace shape::bytes
