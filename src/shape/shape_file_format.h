#pragma once
// The fixed values of a shapefile's main and index file header (ESRI's technical description):
// what the reader checks and the writer writes.

#include <cstdint>

namespace shape {

inline constexpr int32_t kFileCode = 9994;
inline constexpr int32_t kVersion = 1000;
inline constexpr uint64_t kHeaderBytes = 100;

}  // namespace shape
