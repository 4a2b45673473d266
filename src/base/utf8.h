#pragma once
// UTF-8 read and written one code point at a time, the one decoder the program uses: it accepts
// only what the standard allows (no overlong forms, no surrogates, nothing above U+10FFFF).

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace base {

// What decodeUtf8 answers for a byte that starts no valid sequence.
inline constexpr std::uint32_t kInvalidCodePoint = 0xFFFFFFFF;

// The code point starting at text[i]; moves i past it. An invalid sequence answers
// kInvalidCodePoint and moves i by one byte, so the caller can go on after it.
std::uint32_t decodeUtf8(std::string_view text, std::size_t& i);

// Appends the UTF-8 form of the code point cp (at most U+10FFFF).
void appendUtf8(std::string& out, std::uint32_t cp);

}  // namespace base
