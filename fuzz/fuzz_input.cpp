#include "fuzz_input.h"

#include <algorithm>
#include <fstream>
#include <iterator>

namespace fuzz {
namespace {

void writeFile(const std::string& path, const uint8_t* data, size_t size) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

}  // namespace

std::vector<uint8_t> packShapefile(const std::vector<uint8_t>& shx,
                                   const std::vector<uint8_t>& shp) {
  std::vector<uint8_t> out{static_cast<uint8_t>(shx.size()), static_cast<uint8_t>(shx.size() >> 8)};
  out.insert(out.end(), shx.begin(), shx.end());
  out.insert(out.end(), shp.begin(), shp.end());
  return out;
}

std::string unpackShapefile(const uint8_t* data, size_t size, const std::string& folder) {
  size_t shxSize = 0;
  if (size >= 2) {
    shxSize = std::min<size_t>(size_t{data[0]} | size_t{data[1]} << 8, size - 2);
    data += 2;
    size -= 2;
  }
  writeFile(folder + "/f.shx", data, shxSize);
  writeFile(folder + "/f.shp", data + shxSize, size - shxSize);
  return folder + "/f.shp";
}

std::vector<uint8_t> readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace fuzz
