#pragma once
// Expecting an exception: EXPECT_THROW_MSG checks its type and a part of its message;
// thrownValue hands back a field of it (an error code, a number or its message) to compare.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <type_traits>

namespace testsupport {

// A field read from an exception, kept beyond the exception's life: text is copied.
template <class T>
using ThrownField =
    std::conditional_t<std::is_same_v<std::decay_t<T>, const char*>, std::string, std::decay_t<T>>;

// What get reads from the E that f throws; nothing, and a test failure, when f throws none.
template <class E, class F, class Get>
auto thrownValue(F&& f, Get get)
    -> std::optional<ThrownField<std::invoke_result_t<Get, const E&>>> {
  try {
    std::invoke(std::forward<F>(f));
  } catch (const E& e) {
    return std::invoke(get, e);
  }
  ADD_FAILURE() << "nothing thrown";
  return std::nullopt;
}

}  // namespace testsupport

// Expects statement to throw an E whose what() contains text.
#define EXPECT_THROW_MSG(statement, E, text) \
  EXPECT_THAT([&] { statement; }, ::testing::ThrowsMessage<E>(::testing::HasSubstr(text)))
