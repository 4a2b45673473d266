#pragma once
// A test with a scratch folder of its own, removed afterwards; a suite names it with `using`.

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace testsupport {

class ScratchTest : public ::testing::Test {
 protected:
  TempDir dir_;
};

}  // namespace testsupport
