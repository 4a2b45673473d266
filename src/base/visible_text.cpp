#include "base/visible_text.h"

#include <cstdio>

#include "base/utf8.h"

namespace base {
namespace {

// U+200E/U+200F and U+202A..U+202E, U+2066..U+2069: marks that turn the writing direction and so
// can make a line show other than it reads.
bool isDirectionMark(std::uint32_t c) {
  return c == 0x200E || c == 0x200F || (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
}

}  // namespace

std::string visibleText(std::string_view text, bool keepLineFeeds) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const auto b = static_cast<unsigned char>(text[i]);
    if (b < 0x20 || b == 0x7F) {
      if (b == '\n' && keepLineFeeds)
        out += '\n';
      else
        appendUtf8(out, b == 0x7F ? 0x2421u : 0x2400u + b);
      ++i;
      continue;
    }
    std::size_t next = i;
    const std::uint32_t code = decodeUtf8(text, next);
    if ((code >= 0x80 && code <= 0x9F) || isDirectionMark(code)) {
      char shown[16];
      std::snprintf(shown, sizeof shown, "<U+%04X>", static_cast<unsigned>(code));
      out += shown;
    } else {
      out.append(text, i, next - i);  // a byte of no valid sequence passes as it is
    }
    i = next;
  }
  return out;
}

}  // namespace base
