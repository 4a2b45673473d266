#pragma once
// Fuzz inputs that hold more than one file. A pair (a shapefile's ".shx" and ".shp", a table and
// its memo file) is a 16-bit little-endian length of the first file, its bytes, then the second
// file. A package is a list of entries, each a 16-bit name length, the name, a 32-bit content
// length and the content (all little-endian), so that mutations reach the parts themselves
// rather than the zip container's checksums.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace fuzz {

std::vector<uint8_t> packPair(const std::vector<uint8_t>& first,
                              const std::vector<uint8_t>& second);
std::pair<std::string, std::string> unpackPair(const uint8_t* data, size_t size);

struct Entry {
  std::string name;
  std::string content;
};
std::string packEntries(const std::vector<Entry>& entries);
// Reads entries up to the first one that does not fit; a short input gives fewer entries.
std::vector<Entry> unpackEntries(const uint8_t* data, size_t size);

std::vector<uint8_t> readFile(const std::string& path);
void writeFile(const std::string& path, const std::string& bytes);
// A folder of this process for the files a target writes (in memory where /dev/shm exists).
std::string scratchFolder(const std::string& name);

}  // namespace fuzz
