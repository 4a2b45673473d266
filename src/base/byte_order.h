#pragma once
// Integers and doubles of the binary file formats (shapefile, dBASE table, memo file) from and to
// raw bytes, little- or big-endian as the format says, whatever the host's order.

#include <bit>
#include <concepts>
#include <cstddef>
#include <cstdint>

namespace base::bytes {

// The unsigned integer of sizeof(T) bytes at p.
template <std::unsigned_integral T>
T loadLE(const void* p) {
  const auto* b = static_cast<const unsigned char*>(p);
  T v = 0;
  for (std::size_t i = sizeof(T); i-- > 0;) v = static_cast<T>(v << 8 | b[i]);
  return v;
}
template <std::unsigned_integral T>
T loadBE(const void* p) {
  const auto* b = static_cast<const unsigned char*>(p);
  T v = 0;
  for (std::size_t i = 0; i < sizeof(T); ++i) v = static_cast<T>(v << 8 | b[i]);
  return v;
}

// Stores the sizeof(T) bytes of v at p.
template <std::unsigned_integral T>
void storeLE(void* p, T v) {
  auto* b = static_cast<unsigned char*>(p);
  for (std::size_t i = 0; i < sizeof(T); ++i) b[i] = static_cast<unsigned char>(v >> (8 * i));
}
template <std::unsigned_integral T>
void storeBE(void* p, T v) {
  auto* b = static_cast<unsigned char*>(p);
  for (std::size_t i = 0; i < sizeof(T); ++i)
    b[sizeof(T) - 1 - i] = static_cast<unsigned char>(v >> (8 * i));
}

// The signed 32-bit integers and the doubles of the shapefile.
inline int32_t readBE32(const void* p) {
  return static_cast<int32_t>(loadBE<uint32_t>(p));
}
inline int32_t readLE32(const void* p) {
  return static_cast<int32_t>(loadLE<uint32_t>(p));
}
inline double readLEDouble(const void* p) {
  return std::bit_cast<double>(loadLE<uint64_t>(p));
}
inline void writeBE32(void* p, int32_t v) {
  storeBE(p, static_cast<uint32_t>(v));
}
inline void writeLE32(void* p, int32_t v) {
  storeLE(p, static_cast<uint32_t>(v));
}
inline void writeLEDouble(void* p, double d) {
  storeLE(p, std::bit_cast<uint64_t>(d));
}

}  // namespace base::bytes
