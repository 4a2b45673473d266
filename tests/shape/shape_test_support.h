#pragma once
// Helpers of the shape tests: a scratch folder per test, raw byte patches for damaging files
// that the real writer made, and catching the error a call is expected to raise.

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "shape/shape_error.h"
#include "support/expect_throw.h"
#include "support/scratch_test.h"

namespace shapetest {

namespace fs = std::filesystem;

// A shape test with a scratch folder of its own; absolute, as file specifications must be.
class ShapeTest : public testsupport::ScratchTest {
 protected:
  const fs::path folder = dir_.path();
};

// A shape's or file's extent as left, right, bottom, top.
template <class S>
std::vector<double> extent(const S& s) {
  return {s.Left(), s.Right(), s.Bottom(), s.Top()};
}

inline std::vector<uint8_t> readBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void writeBytes(const fs::path& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

inline void patch(const fs::path& path, size_t offset, const std::vector<uint8_t>& bytes) {
  auto data = readBytes(path);
  if (data.size() < offset + bytes.size()) data.resize(offset + bytes.size());
  std::copy(bytes.begin(), bytes.end(), data.begin() + static_cast<std::ptrdiff_t>(offset));
  writeBytes(path, data);
}

inline std::vector<uint8_t> be32(int32_t v) {
  auto u = static_cast<uint32_t>(v);
  return {uint8_t(u >> 24), uint8_t(u >> 16), uint8_t(u >> 8), uint8_t(u)};
}
inline std::vector<uint8_t> le32(int32_t v) {
  auto u = static_cast<uint32_t>(v);
  return {uint8_t(u), uint8_t(u >> 8), uint8_t(u >> 16), uint8_t(u >> 24)};
}

inline void truncateTo(const fs::path& path, uintmax_t size) {
  fs::resize_file(path, size);
}

// The ShapeError that f raises; a test failure when it raises none.
inline shape::ShapeError raised(const std::function<void()>& f) {
  return testsupport::thrownValue<shape::ShapeError>(f, [](const auto& e) { return e; })
      .value_or(shape::ShapeError(0, "", ""));
}

}  // namespace shapetest
