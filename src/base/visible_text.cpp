#include "base/visible_text.h"

#include <cstdio>

namespace base {
namespace {

// The UTF-8 form of code point c (below U+10000).
void appendUtf8(std::string& out, unsigned c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// U+200E/U+200F and U+202A..U+202E, U+2066..U+2069: marks that turn the writing direction and so
// can make a line show other than it reads.
bool isDirectionMark(unsigned c) {
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
    unsigned code = 0;
    std::size_t length = 1;
    if (b == 0xC2 && i + 1 < text.size()) {
      code = static_cast<unsigned char>(text[i + 1]);
      length = 2;
    } else if (b == 0xE2 && i + 2 < text.size()) {
      code = 0x2000 | (static_cast<unsigned>(static_cast<unsigned char>(text[i + 1]) & 0x3F) << 6) |
             (static_cast<unsigned char>(text[i + 2]) & 0x3F);
      length = 3;
    }
    if ((length == 2 && code >= 0x80 && code <= 0x9F) || (length == 3 && isDirectionMark(code))) {
      char shown[12];
      std::snprintf(shown, sizeof shown, "<U+%04X>", code);
      out += shown;
      i += length;
      continue;
    }
    out += text[i++];
  }
  return out;
}

}  // namespace base
