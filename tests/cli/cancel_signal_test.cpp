#include "cli/cancel_signal.h"

#include <gtest/gtest.h>

#include <csignal>

namespace {

class CancelSignal : public ::testing::TestWithParam<int> {};

// The first signal only asks the run to stop after the item in work; once the run is over, the
// signal's previous handling is back.
TEST_P(CancelSignal, FirstSignalSetsTheFlagAndTheHandlerIsRestored) {
  struct sigaction before {};
  sigaction(GetParam(), nullptr, &before);
  {
    cli::CancelOnInterrupt cancel;
    EXPECT_FALSE(cancel.flag().load());
    std::raise(GetParam());
    EXPECT_TRUE(cancel.flag().load());
  }
  struct sigaction after {};
  sigaction(GetParam(), nullptr, &after);
  EXPECT_EQ(after.sa_handler, before.sa_handler);
}

INSTANTIATE_TEST_SUITE_P(Signals, CancelSignal, ::testing::Values(SIGINT, SIGTERM, SIGHUP));

}  // namespace
