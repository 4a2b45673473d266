#pragma once
// Integers and doubles of the binary file formats (shapefile, dBASE table, memo file) from and to
// raw bytes, little- or big-endian as the format says, whatever the host's order.

#include <bit>
#include <concepts>
#include <cstdint>
#include <cstring>

namespace base::bytes {

template <std::unsigned_integral T>
constexpr T byteSwap(T v) {
  if constexpr (sizeof(T) == 1)
    return v;
  else if constexpr (sizeof(T) == 2)
    return __builtin_bswap16(v);
  else if constexpr (sizeof(T) == 4)
    return __builtin_bswap32(v);
  else
    return __builtin_bswap64(v);
}

// The unsigned integer of sizeof(T) bytes at p (a single load, swapped where the host's order
// differs).
template <std::unsigned_integral T>
T loadLE(const void* p) {
  T v;
  std::memcpy(&v, p, sizeof v);
  return std::endian::native == std::endian::little ? v : byteSwap(v);
}
template <std::unsigned_integral T>
T loadBE(const void* p) {
  T v;
  std::memcpy(&v, p, sizeof v);
  return std::endian::native == std::endian::big ? v : byteSwap(v);
}

// Stores the sizeof(T) bytes of v at p.
template <std::unsigned_integral T>
void storeLE(void* p, T v) {
  if constexpr (std::endian::native != std::endian::little) v = byteSwap(v);
  std::memcpy(p, &v, sizeof v);
}
template <std::unsigned_integral T>
void storeBE(void* p, T v) {
  if constexpr (std::endian::native != std::endian::big) v = byteSwap(v);
  std::memcpy(p, &v, sizeof v);
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
