#include "fuzz_input.h"

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "base/byte_order.h"

namespace fuzz {
namespace {

using base::bytes::loadLE;
using base::bytes::storeLE;

template <std::unsigned_integral T>
void appendLittleEndian(std::string& out, T value) {
  char bytes[sizeof(T)];
  storeLE(bytes, value);
  out.append(bytes, sizeof bytes);
}

}  // namespace

std::vector<uint8_t> packPair(const std::vector<uint8_t>& first,
                              const std::vector<uint8_t>& second) {
  std::vector<uint8_t> out(2 + first.size() + second.size());
  storeLE(out.data(), static_cast<uint16_t>(first.size()));
  std::ranges::copy(second, std::ranges::copy(first, out.begin() + 2).out);
  return out;
}

std::pair<std::string, std::string> unpackPair(const uint8_t* data, size_t size) {
  size_t firstSize = 0;
  if (size >= 2) {
    firstSize = std::min<size_t>(loadLE<uint16_t>(data), size - 2);
    data += 2;
    size -= 2;
  }
  const char* bytes = reinterpret_cast<const char*>(data);
  return {std::string(bytes, firstSize), std::string(bytes + firstSize, size - firstSize)};
}

std::string packEntries(const std::vector<Entry>& entries) {
  std::string out;
  for (const Entry& e : entries) {
    appendLittleEndian(out, static_cast<uint16_t>(e.name.size()));
    out += e.name;
    appendLittleEndian(out, static_cast<uint32_t>(e.content.size()));
    out += e.content;
  }
  return out;
}

std::vector<Entry> unpackEntries(const uint8_t* data, size_t size) {
  std::vector<Entry> entries;
  size_t at = 0;
  while (size - at >= 2) {
    const size_t nameSize = loadLE<uint16_t>(data + at);
    if (size - at - 2 < nameSize + 4) break;
    Entry e;
    e.name.assign(reinterpret_cast<const char*>(data + at + 2), nameSize);
    at += 2 + nameSize;
    const size_t contentSize = std::min<size_t>(loadLE<uint32_t>(data + at), size - at - 4);
    e.content.assign(reinterpret_cast<const char*>(data + at + 4), contentSize);
    at += 4 + contentSize;
    entries.push_back(std::move(e));
  }
  return entries;
}

std::vector<uint8_t> readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

namespace {

// The scratch folders go when the process ends normally, so that corpus replays under the test
// suite leave nothing behind in /dev/shm.
struct ScratchFolders {
  std::vector<std::filesystem::path> folders;
  ~ScratchFolders() {
    std::error_code ec;
    for (const auto& folder : folders) std::filesystem::remove_all(folder, ec);
  }
};

}  // namespace

std::string scratchFolder(const std::string& name) {
  static ScratchFolders scratch;
  std::error_code ec;
  std::filesystem::path base = std::filesystem::is_directory("/dev/shm", ec)
                                   ? std::filesystem::path("/dev/shm")
                                   : std::filesystem::temp_directory_path();
  auto folder = base / (name + "_" + std::to_string(::getpid()));
  std::filesystem::create_directories(folder);
  scratch.folders.push_back(folder);
  return folder.string();
}

}  // namespace fuzz
