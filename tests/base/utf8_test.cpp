#include "base/utf8.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/visible_text.h"

namespace {

struct Case {
  std::string bytes;
  std::vector<std::uint32_t> codes;  // what decoding the bytes one after the other answers
};

TEST(utf8, decode_accepts_only_what_the_standard_allows) {
  constexpr std::uint32_t bad = base::kInvalidCodePoint;
  const std::vector<Case> cases = {
      {"a\xC3\xA4", {'a', 0xE4}},                  // ä
      {"\xE2\x80\x9E", {0x201E}},                  // „
      {"\xF0\x9F\x8C\xB2", {0x1F332}},             // four bytes
      {"\xC0\xAF", {bad, bad}},                    // overlong '/'
      {"\xE0\x80\xAF", {bad, bad, bad}},           // overlong in three bytes
      {"\xED\xA0\x80", {bad, bad, bad}},           // a surrogate
      {"\xF4\x90\x80\x80", {bad, bad, bad, bad}},  // above U+10FFFF
      {"\xC3", {bad}},                             // cut off at the end
      {"\xC3(", {bad, '('}},                       // no continuation byte
      {"\x80\xA4x", {bad, bad, 'x'}},              // stray continuation bytes
  };
  for (const auto& c : cases) {
    std::vector<std::uint32_t> codes;
    for (std::size_t i = 0; i < c.bytes.size();) codes.push_back(base::decodeUtf8(c.bytes, i));
    EXPECT_EQ(codes, c.codes) << c.bytes;
  }
}

TEST(utf8, append_round_trips_every_length) {
  for (std::uint32_t cp : {0x41u, 0xE4u, 0x7FFu, 0x800u, 0x201Eu, 0xFFFDu, 0x10000u, 0x10FFFFu}) {
    std::string bytes;
    base::appendUtf8(bytes, cp);
    std::size_t i = 0;
    EXPECT_EQ(base::decodeUtf8(bytes, i), cp);
    EXPECT_EQ(i, bytes.size());
  }
}

TEST(visible_text, marks_c1_and_direction_controls_and_keeps_other_bytes) {
  EXPECT_EQ(base::visibleText("a\x07"
                              "b"),
            "a\xE2\x90\x87"
            "b");  // ␇
  EXPECT_EQ(base::visibleText("x\xC2\x85y"), "x<U+0085>y");
  EXPECT_EQ(base::visibleText("\xE2\x80\xAEtxt"), "<U+202E>txt");
  EXPECT_EQ(base::visibleText("M\xE1laga \xC3\xA4"), "M\xE1laga \xC3\xA4");  // stray byte kept
}

}  // namespace
