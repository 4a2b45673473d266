#pragma once
// One fuzz input holds a whole shapefile pair: a 16-bit little-endian length of the ".shx"
// bytes, the ".shx" bytes, then the ".shp" bytes.

#include <cstdint>
#include <string>
#include <vector>

namespace fuzz {

std::vector<uint8_t> packShapefile(const std::vector<uint8_t>& shx,
                                   const std::vector<uint8_t>& shp);
// Writes the pair as folder/f.shx and folder/f.shp; answers the ".shp" path.
std::string unpackShapefile(const uint8_t* data, size_t size, const std::string& folder);
std::vector<uint8_t> readFile(const std::string& path);

}  // namespace fuzz
