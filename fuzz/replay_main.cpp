// Replays a fuzz corpus without libFuzzer: feeds every file of the folders (or files) named on the
// command line to the target's entry point. A finding aborts, as it would under the fuzzer; an
// empty corpus fails, so that a lost corpus does not pass unnoticed.

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv) {
  std::vector<std::filesystem::path> files;
  for (int i = 1; i < argc; ++i) {
    if (std::filesystem::is_directory(argv[i])) {
      for (const auto& e : std::filesystem::directory_iterator(argv[i]))
        if (e.is_regular_file()) files.push_back(e.path());
    } else {
      files.emplace_back(argv[i]);
    }
  }
  for (const auto& file : files) {
    const std::vector<uint8_t> bytes = fuzz::readFile(file.string());
    LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
  }
  std::printf("%zu inputs replayed\n", files.size());
  return files.empty() ? 1 : 0;
}
