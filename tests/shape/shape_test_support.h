#pragma once
// Helpers of the shape tests: a scratch folder per test, raw bytes for damaging files that the
// real writer made, and catching the error a call is expected to raise.

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
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

// A part's points as x, y pairs.
using Coords = std::vector<std::pair<double, double>>;
template <class Part>
Coords coords(const Part& part) {
  Coords out;
  for (int32_t k = 1; k <= part.Count(); ++k)
    out.emplace_back(part.Item(k)->X(), part.Item(k)->Y());
  return out;
}

// A shape's or file's extent as left, right, bottom, top.
template <class S>
std::vector<double> extent(const S& s) {
  return {s.Left(), s.Right(), s.Bottom(), s.Top()};
}

using testsupport::patchFile;
using testsupport::readFile;
using testsupport::writeFile;
inline constexpr auto patch = testsupport::patchFile;  // the name the word tests know

// A 32-bit number as the bytes of a big- or little-endian field.
inline std::string be32(int32_t v) {
  auto u = static_cast<uint32_t>(v);
  return {char(u >> 24), char(u >> 16), char(u >> 8), char(u)};
}
inline std::string le32(int32_t v) {
  auto u = static_cast<uint32_t>(v);
  return {char(u), char(u >> 8), char(u >> 16), char(u >> 24)};
}

// The ShapeError that f raises; a test failure when it raises none.
inline shape::ShapeError raised(const std::function<void()>& f) {
  return testsupport::thrownValue<shape::ShapeError>(f, [](const auto& e) { return e; })
      .value_or(shape::ShapeError(0, "", ""));
}

}  // namespace shapetest
